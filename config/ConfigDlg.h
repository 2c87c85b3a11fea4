// The Configuration window (template 135): station type, own master name, channel,
// subchannel, domain, MAC optimisation, roaming, inactivity time-out and peer-to-peer. OK
// sends the values to the running adapter and stores them for the driver's next start;
// Cancel sends and stores nothing.
#pragma once

#include "config/ConfigValues.h"
#include "ui/Dialog.h"

namespace odr::shell {
struct ShellContext;
}

namespace odr::config {

class CConfigDlg : public ui::Dialog {
  public:
    // The working values start empty; the opener fills them (Fill) before the window opens.
    CConfigDlg(shell::ShellContext& context, AdapterSettings& settings);

    // The opener's filling from the record.
    void Fill(const AdapterSettings& settings) { values_ = ValuesFromSettings(settings); }

    bool OnInitDialog() override;
    void OnCommand(int id) override;
    void OnNotify(int id, ui::Notify code) override;
    void OnAccelerator(int id) override;
    bool HandlesAccelerator(int id) const override;
    void OnMouse(ui::Mouse event, int x, int y) override;
    void OnDestroy() override;

    const ConfigValues& Values() const { return values_; }

  private:
    void FillLists();
    void Refresh();
    void SelectIndex(int id, int index);
    void SelectText(int id, const std::string& text);
    void SetMasterNameText();
    void Ok();
    void Finish(int result);

    shell::ShellContext& ctx_;
    AdapterSettings& settings_;
    ConfigValues values_;
    bool settingName_ = false;  // the edit's change notice comes from Refresh, not the user
};

}  // namespace odr::config
