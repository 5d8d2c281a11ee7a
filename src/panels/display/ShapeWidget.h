#pragma once
// A filled rectangle of one colour: a quarter of the display preview. It takes no input; its
// colour is what tests and screen readers look at.

#include <QColor>
#include <QWidget>

class ShapeWidget : public QWidget {
    Q_OBJECT
public:
    ShapeWidget(QWidget* parent, const char* objectName, const QColor& colour);

    QColor colour() const { return colour_; }
    void setColour(const QColor& colour);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor colour_;
};
