// The Snoop window (template 147): parks the radio on each frequency of the band in turn,
// samples the signal there for a dwell and draws the dwell's average and peak as a bar
// pair in that frequency's column.
#pragma once

#include <vector>

#include "driver/Reattach.h"
#include "shell/kit/LogSwitch.h"
#include "shell/kit/ShellContext.h"
#include "snoop/SnoopBand.h"
#include "snoop/SpectrumSample.h"
#include "ui/Dialog.h"

namespace odr::snoop {

class CSnoopDlg : public ui::Dialog {
  public:
    // Opens at the Medium rate, at sweep position 0, with the whole graph to draw.
    explicit CSnoopDlg(shell::ShellContext& context);

    bool OnInitDialog() override;
    void OnTimer(int id) override;
    void OnCommand(int id) override;
    void OnPaint() override;
    void OnClose() override;
    void OnDestroy() override;

    // One sweep step: measures the current position for a dwell.
    void Tick();

    // State, readable by tests.
    const BandLayout& Band() const { return band_; }
    int SweepPosition() const { return sweep_; }
    int SamplingRate() const { return rate_; }
    bool FullRedraw() const { return fullRedraw_; }
    bool ReattachNeeded() const { return reattach_.Needed(); }
    bool Repaint() const { return repaint_; }
    const std::vector<SpectrumSample>& Samples() const { return samples_; }
    const shell::LogSwitch& Log() const { return log_; }

  private:
    // Serves the window's queued mouse, paint and key-down messages; false when the dwell
    // must end (F1, a new sampling rate, the window closing).
    bool ServePending();
    void DrawStep(ui::Canvas& canvas, const ColumnGeometry& geometry, int listPosition,
                  bool single);
    void ChangeRate(int rate);
    void Finish(int result);

    shell::ShellContext& ctx_;
    BandLayout band_;
    std::vector<SpectrumSample> samples_;  // positions 0..n
    int sweep_ = 0;
    int rate_ = kRateMedium;
    bool fullRedraw_ = true;
    bool repaint_ = false;
    bool inDwell_ = false;
    bool dwellCut_ = false;  // the rate changed or the window ends during the dwell
    bool ending_ = false;
    shell::LogSwitch log_;
    Reattach reattach_;  // a reading was not carried: re-open and re-attach first
};

}  // namespace odr::snoop
