#pragma once
// Numeric entry field: filters keystrokes by value type, validates the finished
// number against its limits when the field loses the focus, corrects an
// out-of-limit entry to the violated limit and explains every rejection in a
// balloon. The page behind it hears only of values that passed validation.

#include <QLineEdit>

#include <memory>
#include <vector>

#include "controls/BalloonWnd.h"
#include "controls/DigitalText.h"

class CDigitalEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CDigitalEdit(QWidget* parent = nullptr);
    ~CDigitalEdit() override;

    // Set the type first: limits are stored and read by the type in force.
    void SetValueType(DigitalValueType type) { type_ = type; }
    [[nodiscard]] DigitalValueType ValueType() const { return type_; }

    // Each call replaces that limit. The tolerance widens float limits only
    // (integer types always allow half a unit); `format` prints the limit in
    // messages and as the corrected text (null: the type's own form).
    template <typename T>
    requires std::is_arithmetic_v<T>
    void SetMinValue(T value, double tolerance = 0.0, const char* format = nullptr) {
        min_.assign(1, MakeDigitalLimit(type_, value, tolerance, format, true));
    }
    template <typename T>
    requires std::is_arithmetic_v<T>
    void SetMaxValue(T value, double tolerance = 0.0, const char* format = nullptr) {
        max_.assign(1, MakeDigitalLimit(type_, value, tolerance, format, false));
    }

    // The field's balloon request: shows `text` under `title` pointing at the
    // field. Always reports success.
    bool ShowBalloonTip(const QString& title, const QString& text, int icon);

    // Null until the first balloon was requested.
    [[nodiscard]] CBalloonWnd* Balloon() const { return balloon_.get(); }
    [[nodiscard]] bool IsModified() const { return modified_; }

Q_SIGNALS:
    // A value the user finished and that passed validation (or was corrected to
    // a limit). Text put in by code never raises it.
    void valueChanged();
    // The field lost the focus after the user changed it.
    void editLeft();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    // Runs an edit that may bring in several characters at once (paste, input
    // method) and refuses a result holding a character no number can contain.
    template <typename Op> void GuardedEdit(Op op);
    void Reject(const QString& previous, const std::string& message);

    DigitalValueType type_ = DIGITAL_INT32;
    std::vector<DigitalLimit> min_;
    std::vector<DigitalLimit> max_;
    bool modified_ = false;
    std::unique_ptr<CBalloonWnd> balloon_;
};

// Text of the line edit named "ctl<id>" under `dialog`: the value with
// CountDecimals(value, 2) decimals (2.0 -> "2", 1.25 -> "1.25", 1.999 -> "2.00").
void SetItemDouble(QWidget* dialog, int id, double value);
// That field's text read as a decimal number; 0 when it holds none.
[[nodiscard]] double GetItemDouble(QWidget* dialog, int id);
