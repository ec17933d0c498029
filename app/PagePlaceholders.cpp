#include "app/PagePlaceholders.h"

#include <QCoreApplication>
#include <QFormLayout>
#include <QLineEdit>

CDataProcessDlgPlaceholder::CDataProcessDlgPlaceholder(RadarDeviceHandle, RadarOperatorConfig*,
                                                       QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("CDataProcessDlg"));
}

CDownloadDlgPlaceholder::CDownloadDlgPlaceholder(QWidget* parent)
    : QWidget(parent), portField_(new QLineEdit(this)), baudField_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("DownloadDlg"));
    auto* form = new QFormLayout(this);
    const QString portLabel = QCoreApplication::translate("CVORA_Vestrel_ToolDlg", "Port No.");
    const QString baudLabel = QCoreApplication::translate("CVORA_Vestrel_ToolDlg", "BaudRate");
    form->addRow(portLabel, portField_);
    form->addRow(baudLabel, baudField_);
    portField_->setReadOnly(true);
    baudField_->setReadOnly(true);
    portField_->setAccessibleName(portLabel);
    baudField_->setAccessibleName(baudLabel);
    SetPortNum(portNum_);
    SetBaudRate(baudRate_);
}

void CDownloadDlgPlaceholder::SetPortNum(int portNum) {
    portNum_ = portNum;
    portField_->setText(QString::number(portNum));
}

void CDownloadDlgPlaceholder::SetBaudRate(int baudRate) {
    baudRate_ = baudRate;
    baudField_->setText(QString::number(baudRate));
}
