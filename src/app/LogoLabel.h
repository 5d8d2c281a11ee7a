#pragma once
// The About box's logo: a picture that reports a double-click.

#include <QLabel>

class LogoLabel : public QLabel {
    Q_OBJECT
public:
    explicit LogoLabel(QWidget* parent = nullptr);
    // Our own logo, drawn rather than shipped: a small blue LCD showing a "V".
    static QPixmap drawLogo(int size);

signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};
