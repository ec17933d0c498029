#include "controls/DigitalEdit.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPalette>

CDigitalEdit::CDigitalEdit(QWidget* parent) : QLineEdit(parent) {
    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::Text, Qt::black);
    setPalette(pal);
    // Dropped text would bypass the keystroke filter.
    setAcceptDrops(false);
}

CDigitalEdit::~CDigitalEdit() = default;

bool CDigitalEdit::ShowBalloonTip(const QString& title, const QString& text, int icon) {
    if (balloon_ == nullptr)
        balloon_ = std::make_unique<CBalloonWnd>(window());
    // Anchor: the left end of the field's bottom edge, two pixels up.
    const QPoint anchor = mapToGlobal(QPoint(0, height() - 2));
    balloon_->ShowMessage(anchor, title, text, icon);
    return true;
}

void CDigitalEdit::Reject(const QString& previous, const std::string& message) {
    ShowBalloonTip(QStringLiteral("Input Error"), QString::fromStdString(message),
                   CBalloonWnd::IconError);
    setText(previous);
    setCursorPosition(0);
}

template <typename Op> void CDigitalEdit::GuardedEdit(Op op) {
    const QString before = text();
    op();
    const QString after = text();
    if (after == before)
        return;
    if (auto message = CheckPastedText(after.toStdU32String())) {
        Reject(before, *message);
        return;
    }
    modified_ = true;
}

void CDigitalEdit::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // Handled here so it never reaches a default button of the dialog; the
        // focus moves on at release.
        QLineEdit::keyPressEvent(event);
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        GuardedEdit([&] { QLineEdit::keyPressEvent(event); });
        return;
    }
    const QString typed = event->text();
    if (typed.isEmpty() || key == Qt::Key_Escape || key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        // Not a character for the field; keys such as Delete still count as an
        // edit when they change the text.
        const QString before = text();
        QLineEdit::keyPressEvent(event);
        if (text() != before)
            modified_ = true;
        return;
    }
    const std::u32string chars = typed.toStdU32String();
    if (chars.size() != 1) {
        GuardedEdit([&] { QLineEdit::keyPressEvent(event); });
        return;
    }
    const char32_t ch = chars.front();
    const QString before = text();
    QLineEdit::keyPressEvent(event);
    if (ch < 0x20 || ch == 0x7F) {
        // Backspace and the clipboard shortcuts. Delete arrives as 0x7F.
        if (ch < 0x20 || text() != before)
            modified_ = true;
        return;
    }
    if (auto message = CheckTypedChar(type_, ch, text().toStdU32String())) {
        Reject(before, *message);
        return;
    }
    modified_ = true;
}

void CDigitalEdit::keyReleaseEvent(QKeyEvent* event) {
    // Tab already moved the focus when pressed; Enter does so when released.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && hasFocus() &&
        !event->isAutoRepeat())
        focusNextChild();
    QLineEdit::keyReleaseEvent(event);
}

void CDigitalEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A context menu of the field takes the focus only for a moment.
    if (event->reason() == Qt::PopupFocusReason || !modified_)
        return;
    modified_ = false;
    const double x = ParseLeadingDouble(text().toStdString());
    if (auto violation = CheckDigitalLimits(x, type_, min_, max_)) {
        ShowBalloonTip(QStringLiteral("Data Invalid"), QString::fromStdString(violation->message),
                       CBalloonWnd::IconError);
        setText(QString::fromStdString(violation->limitText));
    }
    Q_EMIT valueChanged();
    Q_EMIT editLeft();
}

void CDigitalEdit::contextMenuEvent(QContextMenuEvent* event) {
    GuardedEdit([&] { QLineEdit::contextMenuEvent(event); });
}

void CDigitalEdit::mouseReleaseEvent(QMouseEvent* event) {
    // The middle button pastes the selection.
    GuardedEdit([&] { QLineEdit::mouseReleaseEvent(event); });
}

void CDigitalEdit::inputMethodEvent(QInputMethodEvent* event) {
    GuardedEdit([&] { QLineEdit::inputMethodEvent(event); });
}

namespace {
QLineEdit* Field(QWidget* dialog, int id) {
    if (dialog == nullptr)
        return nullptr;
    return dialog->findChild<QLineEdit*>(QStringLiteral("ctl%1").arg(id));
}
} // namespace

void SetItemDouble(QWidget* dialog, int id, double value) {
    if (QLineEdit* edit = Field(dialog, id))
        edit->setText(QString::fromStdString(FormatShortDouble(value)));
}

double GetItemDouble(QWidget* dialog, int id) {
    const QLineEdit* edit = Field(dialog, id);
    return edit != nullptr ? ParseLeadingDouble(edit->text().toStdString()) : 0.0;
}
