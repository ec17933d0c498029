#pragma once
// The parameter page: the shared operator configuration in 34 numeric fields,
// read from and written to the module, loaded from and saved to parameter
// files, and kept between runs in the settings section ParamSetting.

#include <QDialog>
#include <QFileDialog>
#include <QString>

#include <memory>

#include "device/radar/VORA_DataProcess.h"
#include "params/RadarOperatorConfig.h"

class CDigitalEdit;
namespace Ui {
class CParamSettingDlg;
}

class CParamSettingDlg : public QDialog {
    Q_OBJECT
public:
    // The handle and the record belong to the main window and outlive the page
    // (without a record the page keeps one of its own).
    // Construction is the page's initialisation: the fields are set up, the
    // record is read from ParamSetting and shown.
    CParamSettingDlg(RadarDeviceHandle handle, RadarOperatorConfig* record,
                     QWidget* parent = nullptr);
    // Writes the record into ParamSetting and saves the settings file.
    ~CParamSettingDlg() override;

    // Puts the record into the fields.
    void ShowRecord();

    // The commands behind the four buttons. The file commands without a path ask
    // for one; with a path they use it as if it had been chosen.
    void ReadSensorConfig();
    void SetSensorConfig();
    void LoadConfigFile(const QString& chosenPath = {});
    void SaveConfigFile(const QString& chosenPath = {});

    // Full path the file dialogs propose: the last file's name (AppConfig
    // attribute RadarConfigFile, else "RadarParamConfig.xml") in the tool's directory.
    [[nodiscard]] QString ProposedConfigPath() const;

    [[nodiscard]] CDigitalEdit* Field(int id) const;

    // Enter and Escape never close the page.
    void accept() override {}
    void reject() override {}

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnFieldChanged(int id);
    void RememberConfigFile(const QString& path);
    // The file dialog for Load (AcceptOpen) or Save (AcceptSave); empty when cancelled.
    QString ChooseConfigPath(QFileDialog::AcceptMode mode);
    void ShowCommandResult(bool write, int result);

    RadarDeviceHandle handle_;
    RadarOperatorConfig* record_;
    std::unique_ptr<RadarOperatorConfig> ownRecord_; // only when hosted without a record
    std::unique_ptr<Ui::CParamSettingDlg> ui_;
};
