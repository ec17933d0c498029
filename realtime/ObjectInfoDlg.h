#pragma once
// The real-time page: the module's report stream live, with a presence lamp, the
// target range as text, the gate energies against the thresholds and the range over
// the last minute with bands where a target was present. A reader thread decodes
// the stream and feeds the plots; the window thread updates lamp and text.

#include <QWidget>

#include <atomic>
#include <cstdint>
#include <memory>

#include "device/common/BaseThread.h"
#include "device/radar/VORA_DataProcess.h"
#include "realtime/ObjectInfoSettings.h"
#include "realtime/PresenceHistory.h"
#include "wave/WaveWnd.h"

struct RadarOperatorConfig;
struct ReportRecord;
class CScreenSaverInhibitor;
namespace Ui {
class CObjectInfoDlg;
}

class CObjectInfoDlg : public QWidget,
                       public IThreadFuncInterface,
                       public IWaveWndDrawListener,
                       public IWaveWndTooltipListener {
    Q_OBJECT
public:
    // The handle and the record belong to the main window and outlive the page.
    CObjectInfoDlg(RadarDeviceHandle handle, RadarOperatorConfig* record,
                   QWidget* parent = nullptr);
    // Stops the stream, then writes the ObjectInfo section and saves the settings file.
    ~CObjectInfoDlg() override;

    // Layout scale from the main window: fonts, bands and line widths follow it.
    void SetScale(double scale);
    // Takes the record's thresholds into the energy plot; clears the range plot.
    void RefreshThresholds();
    void StartRealtime();
    // Returns once the reader has ended and the module is back in data-transfer mode.
    void StopRealtime();

    [[nodiscard]] bool IsRunning() const { return running_ != 0; }
    [[nodiscard]] const ObjectInfoSettings& Settings() const { return settings_; }
    [[nodiscard]] CWaveWnd* EnergyPlot() const { return energyPlot_; }
    [[nodiscard]] CWaveWnd* RangePlot() const { return rangePlot_; }
    [[nodiscard]] PresenceStates PresenceSnapshot() const { return history_.Snapshot(); }

    QString GetTooltipText(int wave, int sample, int offset, int pointCount, double value,
                           std::intptr_t cookie) override;
    void OnDrawPlotBackground(QPainter* painter, QImage* layer, uchar* pixels, int width,
                              int height, int stride, const QRect& rect,
                              std::intptr_t cookie) override;
    void OnDrawOverlay(QPainter* painter, QImage* canvas, uchar* pixels, int clientWidth,
                       int clientHeight, int stride, const QRect& plot,
                       std::intptr_t cookie) override;

protected:
    unsigned int ThreadFunc(void* param) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    void ConfigurePlots();
    void ConfigureEnergyPlot();
    void ConfigureRangePlot();
    void UpdateTargetDisplay();
    void ApplyThresholds();
    void OnReport(const ReportRecord& record); // reader thread
    void OnStartPauseClicked();
    void OnGenerateThresholdsClicked();
    void OnReaderEnded(int run);
    [[nodiscard]] int Scaled(double size) const { return static_cast<int>(size * scale_); }
    [[nodiscard]] QMargins EndLabelMargins() const;
    [[nodiscard]] QRect InsetFarEdges(const QRect& plotRect) const;

    std::unique_ptr<Ui::CObjectInfoDlg> ui_;
    RadarDeviceHandle handle_ = nullptr;
    RadarOperatorConfig* record_ = nullptr;
    double scale_ = 1.0;
    CBaseThread reader_;
    int running_ = 0;
    std::atomic<int> stop_{0};
    int run_ = 0;                   // numbers each start, so a late end notice is recognised
    std::atomic<int> readerRun_{0}; // the run the reader serves
    double trigger_[16] = {};
    double hold_[16] = {};
    std::atomic<int> lastState_{0};
    std::atomic<int> lastRange_{0};
    CPresenceHistory history_;
    ObjectInfoSettings settings_;
    CWaveWnd* energyPlot_ = nullptr;
    CWaveWnd* rangePlot_ = nullptr;
    CScreenSaverInhibitor* awake_ = nullptr;
};
