#include "app/AboutBox.h"

#include "Version.h"
#include "app/LogoLabel.h"

#include <QDesktopServices>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

const char* const AboutBox::kMakerWebAddress = "https://vantrel.example.org/";

namespace {

QFrame* separator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QLabel* notice(QWidget* parent, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setAccessibleName(text);
    return label;
}

} // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setModal(false);
    setMinimumWidth(440);
    openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };

    Picture1_ = new LogoLabel(this);
    Picture1_->setObjectName(QStringLiteral("Picture1"));
    Picture1_->setAccessibleName(QStringLiteral("Vantrel logo"));
    lblTitle_ = new QLabel(this);
    lblTitle_->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle_->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.8);
    titleFont.setBold(true);
    lblTitle_->setFont(titleFont);
    lblVersion_ = new QLabel(this);
    lblVersion_->setObjectName(QStringLiteral("lblVersion"));

    Label5_ = new QLabel(QString::fromLatin1(kMakerWebAddress), this);
    Label5_->setObjectName(QStringLiteral("Label5"));
    Label5_->setAccessibleName(QStringLiteral("Web page"));
    Label5_->setCursor(Qt::PointingHandCursor);
    Label5_->setFocusPolicy(Qt::StrongFocus);
    Label5_->setStyleSheet(QStringLiteral("color: palette(link); text-decoration: underline;"));
    Label5_->installEventFilter(this);

    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);
    cmdOK_->setAutoDefault(true);

    auto* text = new QVBoxLayout;
    text->addWidget(lblTitle_);
    text->addWidget(lblVersion_);
    text->addSpacing(8);
    text->addWidget(notice(this, QStringLiteral("Copyright \u00A9 2026")));
    text->addWidget(notice(this, QStringLiteral("The Vantrel developers")));
    text->addWidget(notice(this, QStringLiteral("All rights reserved.")));
    text->addWidget(notice(this, QStringLiteral("Control panel for the QD70315 LCD controller")));

    auto* top = new QHBoxLayout;
    top->addWidget(Picture1_, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(text, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Label5_, 1);
    bottom->addWidget(cmdOK_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(separator(this));
    layout->addLayout(bottom);
    layout->addWidget(separator(this));

    connect(cmdOK_, &QPushButton::clicked, this, &AboutBox::cmdOK_Click);
    connect(Picture1_, &LogoLabel::doubleClicked, this, &AboutBox::Picture1_DblClick);
    Form_Load();
}

void AboutBox::Form_Load() {
    setWindowTitle(QStringLiteral(" About ") + QStringLiteral("Vantrel"));
    lblVersion_->setText(QStringLiteral("Version %1.%2.%3")
                             .arg(VANTREL_VERSION_MAJOR)
                             .arg(VANTREL_VERSION_MINOR)
                             .arg(VANTREL_VERSION_REVISION));
    lblTitle_->setText(QStringLiteral("Vantrel"));
}

void AboutBox::cmdOK_Click() {
    close();
}

void AboutBox::Label5_Click() {
    openUrl(QUrl(QString::fromLatin1(kMakerWebAddress)));
}

void AboutBox::Picture1_DblClick() {
    emit fontScreensUnlocked();
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label5_) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
                linkPressed_ = true;
            return true;
        case QEvent::MouseButtonDblClick:
            // The second press of a double click: the first click has opened the page already.
            return true;
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton)
                return true;
            const bool click =
                linkPressed_ && Label5_->rect().contains(mouse->position().toPoint());
            linkPressed_ = false;
            if (click)
                Label5_Click();
            return true;
        }
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
                Label5_Click();
                return true;
            }
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}
