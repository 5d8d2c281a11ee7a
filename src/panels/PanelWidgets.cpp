#include "panels/PanelWidgets.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include <algorithm>

namespace {

const char* const kReadsAsWindow = "vantrelReadsAsWindow";

QAccessibleInterface* windowInterface(const QString&, QObject* object) {
    if (!object->isWidgetType() || !object->property(kReadsAsWindow).toBool())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
}

} // namespace

namespace widgets {

QGroupBox* frame(QWidget* parent, const char* objectName, const QString& title,
                 const QString& accessibleName) {
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(QString::fromLatin1(objectName));
    box->setAccessibleName(accessibleName.isEmpty() ? title : accessibleName);
    return box;
}

QPushButton* button(QWidget* parent, const char* objectName, const QString& caption,
                    const QString& accessibleName) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(objectName));
    // Without a name of its own a button reads its caption, and so follows every change of it.
    if (!accessibleName.isEmpty())
        b->setAccessibleName(accessibleName);
    b->setAutoDefault(false);
    return b;
}

QRadioButton* option(QWidget* parent, const char* objectName, const QString& caption, bool selected,
                     const QString& accessibleName) {
    auto* o = new QRadioButton(caption, parent);
    o->setObjectName(QString::fromLatin1(objectName));
    o->setAccessibleName(accessibleName.isEmpty() ? caption.trimmed() : accessibleName);
    o->setChecked(selected);
    return o;
}

QScrollBar* scrollBar(QWidget* parent, const char* objectName, int minimum, int maximum, int value,
                      const QString& accessibleName) {
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setObjectName(QString::fromLatin1(objectName));
    bar->setAccessibleName(accessibleName);
    bar->setRange(minimum, maximum);
    bar->setValue(value);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    bar->setFocusPolicy(Qt::StrongFocus);
    // Qt 6.4 inverts the arrow keys of horizontal scroll bars (Right lowers the value).
    bar->setInvertedControls(false);
    bar->setMinimumWidth(120);
    return bar;
}

QLineEdit* displayBox(QWidget* parent, const char* objectName, const QString& text,
                      const QString& accessibleName) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(QString::fromLatin1(objectName));
    box->setAccessibleName(accessibleName);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setProperty("displayOnly", true);
    return box;
}

QLineEdit* entryBox(QWidget* parent, const char* objectName, const QString& text,
                    const QString& accessibleName) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(QString::fromLatin1(objectName));
    box->setAccessibleName(accessibleName);
    return box;
}

void readAsWindow(QWidget* window) {
    static const bool installed = [] {
        QAccessible::installFactory(windowInterface);
        return true;
    }();
    Q_UNUSED(installed);
    window->setProperty(kReadsAsWindow, true);
}

QLabel* label(QWidget* parent, const QString& text, QWidget* buddy) {
    auto* l = new QLabel(text, parent);
    if (buddy)
        l->setBuddy(buddy);
    return l;
}

void mirror(QScrollBar* bar, QLineEdit* box) {
    // Right-aligned digits, and no wider than the largest value needs, so the bar gets the room.
    const int digits = std::max(3, int(QString::number(bar->maximum()).size()));
    box->setAlignment(Qt::AlignRight);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QString(digits + 1, u'0')) + 16);
    QObject::connect(bar, &QScrollBar::valueChanged, box,
                     [box](int v) { box->setText(QString::number(v)); });
    QObject::connect(bar, &QScrollBar::sliderMoved, box,
                     [box](int v) { box->setText(QString::number(v)); });
    box->setText(QString::number(bar->value()));
}

} // namespace widgets
