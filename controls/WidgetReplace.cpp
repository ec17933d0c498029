#include "controls/WidgetReplace.h"

#include <QLayout>
#include <QLayoutItem>
#include <QWidget>

void ReplaceFormWidget(QWidget* original, QWidget* replacement) {
    if (original == nullptr || replacement == nullptr || original == replacement)
        return;
    QWidget* parent = original->parentWidget();
    if (replacement->parentWidget() != parent)
        replacement->setParent(parent);
    replacement->setObjectName(original->objectName());
    replacement->setToolTip(original->toolTip());
    replacement->setAccessibleName(original->accessibleName());
    replacement->setAccessibleDescription(original->accessibleDescription());
    replacement->setEnabled(original->isEnabled());
    replacement->setMinimumSize(original->minimumSize());
    replacement->setMaximumSize(original->maximumSize());
    replacement->setSizePolicy(original->sizePolicy());
    replacement->setFocusPolicy(original->focusPolicy());
    if (original->testAttribute(Qt::WA_SetFont))
        replacement->setFont(original->font());

    QLayoutItem* slot = nullptr;
    if (parent != nullptr && parent->layout() != nullptr)
        slot = parent->layout()->replaceWidget(original, replacement, Qt::FindChildrenRecursively);
    if (slot != nullptr)
        delete slot; // the layout hands back the item that held the original
    else
        replacement->setGeometry(original->geometry());
    replacement->stackUnder(original);
    QWidget::setTabOrder(original, replacement);
    replacement->setHidden(original->isHidden());
    delete original;
}
