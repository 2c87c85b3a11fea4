// The in-memory registry: a tree of shared nodes, handles mapped to nodes with their access.
#include "platform/MemoryRegistry.h"

#include <algorithm>
#include <cstring>

namespace odr::platform {

namespace {

std::string Lower(const std::string& text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

std::vector<std::string> SplitKeyPath(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        if (end > start) parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

}  // namespace

struct MemoryRegistry::Node {
    struct Value {
        std::string name;
        uint32_t type = kRegNone;
        std::string bytes;
    };

    std::string name;
    bool deleted = false;
    std::vector<std::shared_ptr<Node>> children;         // insertion order
    std::unordered_map<std::string, size_t> childIndex;  // lower-case name -> position
    std::vector<Value> values;
    std::unordered_map<std::string, size_t> valueIndex;
    uint32_t maxNameLen = 0;
    uint32_t maxValueLen = 0;

    Node() = default;
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;
    ~Node() {
        // Takes apart the subtrees this node alone owns without recursing, so a very deep
        // tree cannot exhaust the stack when it goes.
        std::vector<std::shared_ptr<Node>> pending = std::move(children);
        while (!pending.empty()) {
            std::shared_ptr<Node> node = std::move(pending.back());
            pending.pop_back();
            if (node.use_count() == 1) {
                for (auto& child : node->children) pending.push_back(std::move(child));
                node->children.clear();
            }
        }
    }

    Node* Child(const std::string& childName) const {
        auto it = childIndex.find(Lower(childName));
        return it == childIndex.end() ? nullptr : children[it->second].get();
    }
    Node* AddChild(const std::string& childName) {
        auto node = std::make_shared<Node>();
        node->name = childName;
        childIndex[Lower(childName)] = children.size();
        children.push_back(node);
        maxNameLen = std::max<uint32_t>(maxNameLen, static_cast<uint32_t>(childName.size()));
        return node.get();
    }
    void RemoveChild(const std::string& childName) {
        auto it = childIndex.find(Lower(childName));
        if (it == childIndex.end()) return;
        MarkDeleted(*children[it->second]);
        children.erase(children.begin() + static_cast<std::ptrdiff_t>(it->second));
        childIndex.clear();
        maxNameLen = 0;
        for (size_t i = 0; i < children.size(); ++i) {
            childIndex[Lower(children[i]->name)] = i;
            maxNameLen =
                std::max<uint32_t>(maxNameLen, static_cast<uint32_t>(children[i]->name.size()));
        }
    }
    static void MarkDeleted(Node& node) {
        // Iterative: a hostile tree may be deeper than the stack.
        std::vector<Node*> pending{&node};
        while (!pending.empty()) {
            Node* n = pending.back();
            pending.pop_back();
            n->deleted = true;
            for (auto& child : n->children) pending.push_back(child.get());
        }
    }
    const Value* FindValue(const std::string& valueName) const {
        auto it = valueIndex.find(Lower(valueName));
        return it == valueIndex.end() ? nullptr : &values[it->second];
    }
    void Set(const std::string& valueName, uint32_t type, std::string bytes) {
        std::string lower = Lower(valueName);
        auto it = valueIndex.find(lower);
        if (it == valueIndex.end()) {
            valueIndex[lower] = values.size();
            values.push_back(Value{valueName, type, std::move(bytes)});
        } else {
            values[it->second].type = type;
            values[it->second].bytes = std::move(bytes);
        }
        RecountValues();
    }
    bool Remove(const std::string& valueName) {
        auto it = valueIndex.find(Lower(valueName));
        if (it == valueIndex.end()) return false;
        values.erase(values.begin() + static_cast<std::ptrdiff_t>(it->second));
        valueIndex.clear();
        for (size_t i = 0; i < values.size(); ++i) valueIndex[Lower(values[i].name)] = i;
        RecountValues();
        return true;
    }
    void RecountValues() {
        maxValueLen = 0;
        for (const Value& v : values) {
            maxValueLen = std::max<uint32_t>(maxValueLen, static_cast<uint32_t>(v.bytes.size()));
        }
    }
};

MemoryRegistry::MemoryRegistry()
    : localMachine_(std::make_shared<Node>()), currentUser_(std::make_shared<Node>()) {}

MemoryRegistry::~MemoryRegistry() = default;

long MemoryRegistry::Resolve(RegKey key, Handle* handle) {
    if (key == kLocalMachine) {
        *handle = Handle{localMachine_, 0xFFFFFFFFu};
        return kRegOk;
    }
    if (key == kCurrentUser) {
        *handle = Handle{currentUser_, 0xFFFFFFFFu};
        return kRegOk;
    }
    auto it = handles_.find(key);
    if (it == handles_.end()) return kRegInvalidHandle;
    if (it->second.node->deleted) return kRegKeyDeleted;
    *handle = it->second;
    return kRegOk;
}

long MemoryRegistry::OpenKey(RegKey parent, const char* subKey, uint32_t access, RegKey* result) {
    ++calls_;
    if (result == nullptr) return kRegInvalidHandle;
    *result = kNoKey;
    Handle from;
    long status = Resolve(parent, &from);
    if (status != kRegOk) return status;
    std::shared_ptr<Node> node = from.node;
    for (const std::string& part : SplitKeyPath(subKey ? subKey : "")) {
        auto it = node->childIndex.find(Lower(part));
        if (it == node->childIndex.end()) return kRegNotFound;
        node = node->children[it->second];
    }
    RegKey handle = nextHandle_;
    nextHandle_ += 4;
    handles_[handle] = Handle{node, access};
    *result = handle;
    return kRegOk;
}

long MemoryRegistry::CloseKey(RegKey key) {
    ++calls_;
    if (key == kLocalMachine || key == kCurrentUser) return kRegOk;
    return handles_.erase(key) ? kRegOk : kRegInvalidHandle;
}

long MemoryRegistry::QueryInfoKey(RegKey key, RegKeyInfo* info) {
    ++calls_;
    Handle h;
    long status = Resolve(key, &h);
    if (status != kRegOk) return status;
    if ((h.access & kKeyQueryValue) == 0) return kRegAccessDenied;
    info->subKeys = static_cast<uint32_t>(h.node->children.size());
    info->maxSubKeyLen = h.node->maxNameLen;
    info->values = static_cast<uint32_t>(h.node->values.size());
    info->maxValueLen = h.node->maxValueLen;
    return kRegOk;
}

long MemoryRegistry::EnumKey(RegKey key, uint32_t index, char* name, uint32_t capacity) {
    ++calls_;
    Handle h;
    long status = Resolve(key, &h);
    if (status != kRegOk) return status;
    if ((h.access & kKeyEnumerateSubKeys) == 0) return kRegAccessDenied;
    if (index >= h.node->children.size()) return kRegNoMoreItems;
    const std::string& childName = h.node->children[index]->name;
    if (name == nullptr || childName.size() >= capacity) return kRegMoreData;
    std::memcpy(name, childName.data(), childName.size());
    name[childName.size()] = '\0';
    return kRegOk;
}

long MemoryRegistry::QueryValue(RegKey key, const char* name, uint32_t* type, uint8_t* data,
                                uint32_t* size) {
    ++calls_;
    Handle h;
    long status = Resolve(key, &h);
    if (status != kRegOk) return status;
    if ((h.access & kKeyQueryValue) == 0) return kRegAccessDenied;
    const Node::Value* value = h.node->FindValue(name ? name : "");
    if (value == nullptr) return kRegNotFound;
    if (type) *type = value->type;
    if (size == nullptr) return data ? kRegInvalidHandle : kRegOk;
    uint32_t length = static_cast<uint32_t>(value->bytes.size());
    uint32_t capacity = *size;
    *size = length;
    if (data == nullptr) return kRegOk;
    if (length > capacity) return kRegMoreData;
    if (length) std::memcpy(data, value->bytes.data(), length);
    return kRegOk;
}

long MemoryRegistry::SetValue(RegKey key, const char* name, uint32_t type, const uint8_t* data,
                              uint32_t size) {
    ++calls_;
    Handle h;
    long status = Resolve(key, &h);
    if (status != kRegOk) return status;
    if ((h.access & kKeySetValue) == 0) return kRegAccessDenied;
    if (data == nullptr && size != 0) return kRegInvalidHandle;
    h.node->Set(name ? name : "", type,
                size ? std::string(reinterpret_cast<const char*>(data), size) : std::string());
    return kRegOk;
}

MemoryRegistry::Node* MemoryRegistry::Find(const std::string& path, RegKey root) const {
    Node* node = (root == kCurrentUser ? currentUser_ : localMachine_).get();
    for (const std::string& part : SplitKeyPath(path)) {
        node = node->Child(part);
        if (node == nullptr) return nullptr;
    }
    return node;
}

MemoryRegistry::Node* MemoryRegistry::Ensure(const std::string& path, RegKey root) {
    Node* node = (root == kCurrentUser ? currentUser_ : localMachine_).get();
    for (const std::string& part : SplitKeyPath(path)) {
        Node* child = node->Child(part);
        node = child ? child : node->AddChild(part);
    }
    return node;
}

bool MemoryRegistry::CreateKeyPath(const std::string& path, RegKey root) {
    if (root != kLocalMachine && root != kCurrentUser) return false;
    return Ensure(path, root) != nullptr;
}

bool MemoryRegistry::DeleteKeyPath(const std::string& path, RegKey root) {
    std::vector<std::string> parts = SplitKeyPath(path);
    if (parts.empty()) return false;
    std::string last = parts.back();
    parts.pop_back();
    std::string parentPath;
    for (const std::string& part : parts) parentPath += part + "\\";
    Node* parent = Find(parentPath, root);
    if (parent == nullptr || parent->Child(last) == nullptr) return false;
    parent->RemoveChild(last);
    return true;
}

void MemoryRegistry::SetString(const std::string& path, const std::string& name,
                               const std::string& text) {
    Ensure(path, kLocalMachine)->Set(name, kRegSz, text + std::string(1, '\0'));
}

void MemoryRegistry::SetDword(const std::string& path, const std::string& name, uint32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    Ensure(path, kLocalMachine)->Set(name, kRegDword, bytes);
}

void MemoryRegistry::SetRaw(const std::string& path, const std::string& name, uint32_t type,
                            const std::string& bytes) {
    Ensure(path, kLocalMachine)->Set(name, type, bytes);
}

bool MemoryRegistry::DeleteValue(const std::string& path, const std::string& name) {
    Node* node = Find(path, kLocalMachine);
    return node != nullptr && node->Remove(name);
}

bool MemoryRegistry::GetValue(const std::string& path, const std::string& name, uint32_t* type,
                              std::string* bytes) const {
    Node* node = Find(path, kLocalMachine);
    const Node::Value* value = node ? node->FindValue(name) : nullptr;
    if (value == nullptr) return false;
    if (type) *type = value->type;
    if (bytes) *bytes = value->bytes;
    return true;
}

bool MemoryRegistry::HasValue(const std::string& path, const std::string& name) const {
    return GetValue(path, name, nullptr, nullptr);
}

}  // namespace odr::platform
