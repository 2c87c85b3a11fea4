// In-memory dialog templates (DLGTEMPLATE and DLGITEMTEMPLATE records) for the Windows tests,
// so that no test needs a resource file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace odr::test {

class DialogTemplate {
  public:
    // Predefined classes by atom.
    static constexpr uint16_t kButton = 0x0080;
    static constexpr uint16_t kEdit = 0x0081;
    static constexpr uint16_t kStatic = 0x0082;
    static constexpr uint16_t kListBox = 0x0083;
    static constexpr uint16_t kScrollBar = 0x0084;
    static constexpr uint16_t kComboBox = 0x0085;

    // `count` items follow; sizes in dialog units.
    DialogTemplate(const char* title, uint32_t style, uint16_t count, int16_t cx, int16_t cy) {
        Dword(style);
        Dword(0);
        Word(count);
        for (int16_t v : {int16_t(10), int16_t(10), cx, cy}) Word(uint16_t(v));
        Word(0);  // no menu
        Word(0);  // dialog class
        Text(title);
    }

    // A control of a predefined class.
    void Item(uint32_t style, int16_t x, int16_t y, int16_t cx, int16_t cy, uint16_t id,
              uint16_t atom, const char* text) {
        Header(style, x, y, cx, cy, id);
        Word(0xFFFF);
        Word(atom);
        Trailer(text);
    }
    // A control of a class named in the template (common controls).
    void Item(uint32_t style, int16_t x, int16_t y, int16_t cx, int16_t cy, uint16_t id,
              const char* className, const char* text) {
        Header(style, x, y, cx, cy, id);
        Text(className);
        Trailer(text);
    }

    const std::vector<uint8_t>& bytes() const { return bytes_; }

  private:
    void Word(uint16_t w) {
        bytes_.push_back(uint8_t(w));
        bytes_.push_back(uint8_t(w >> 8));
    }
    void Dword(uint32_t d) {
        Word(uint16_t(d));
        Word(uint16_t(d >> 16));
    }
    void Text(const char* text) {
        for (; *text; ++text) Word(uint16_t(uint8_t(*text)));
        Word(0);
    }
    void Header(uint32_t style, int16_t x, int16_t y, int16_t cx, int16_t cy, uint16_t id) {
        while (bytes_.size() % 4) bytes_.push_back(0);
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        for (int16_t v : {x, y, cx, cy}) Word(uint16_t(v));
        Word(id);
    }
    void Trailer(const char* text) {
        Text(text);
        Word(0);  // no creation data
    }

    std::vector<uint8_t> bytes_;
};

}  // namespace odr::test
