#include "panels/text/TextPanel.h"

#include "engine/BoardSession.h"
#include "panels/Dialogs.h"
#include "panels/PanelWidgets.h"
#include "panels/text/ControlCode.h"
#include "protocol/Messages.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int kEnter = 0x0D;

// A control character has no glyph on the board; keys that mean one (Enter, Backspace,
// Ctrl+letter) are recognised by their key code instead (controlCode).
bool isControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// The text a key types into the box. Ctrl and Ctrl+Shift chords are shortcuts that type nothing
// (Ctrl with Alt is AltGr on some keyboards, and does type).
QString typedText(const QKeyEvent* key) {
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::ControlModifier || mods == (Qt::ControlModifier | Qt::ShiftModifier))
        return {};
    return key->text();
}

QString codePointText(char32_t c) {
    return QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace

TextPanel::TextPanel(engine::BoardSession& session, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), session_(session), dialogs_(dialogs) {
    using namespace widgets;

    auto* inputFrame = frame(this, "FrameInputText", QStringLiteral("Input Text"));
    Text2_ = new QPlainTextEdit(inputFrame);
    Text2_->setObjectName(QStringLiteral("Text2"));
    Text2_->setAccessibleName(QStringLiteral("Input Text"));
    Text2_->setAccessibleDescription(
        QStringLiteral("Every key typed here is shown on the display at once"));
    Text2_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text2_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Tab moves on to the next control, so that keyboard users can leave the box.
    Text2_->setTabChangesFocus(true);
    Text2_->setMinimumHeight(Text2_->fontMetrics().lineSpacing() * 8);
    Text2_->installEventFilter(this);
    auto* inputLayout = new QVBoxLayout(inputFrame);
    inputLayout->addWidget(Text2_);

    auto* fontFrame = frame(this, "FrameFont", QStringLiteral("Font"));
    Option1_ = option(fontFrame, "Option1", QStringLiteral("7 Pix"), true);
    Option2_ = option(fontFrame, "Option2", QStringLiteral("14 Pix"));
    Option3_ = option(fontFrame, "Option3", QStringLiteral("14 Pix Bold"));
    Option4_ = option(fontFrame, "Option4", QStringLiteral("22 Pix"));
    auto* fontLayout = new QVBoxLayout(fontFrame);
    for (QRadioButton* o : {Option1_, Option2_, Option3_, Option4_})
        fontLayout->addWidget(o);

    // The sending mode sits on the page itself, outside the frames.
    auto* modes = new QWidget(this);
    modes->setObjectName(QStringLiteral("SendingMode"));
    modes->setAccessibleName(QStringLiteral("Sending mode"));
    optChar_ = option(modes, "optChar", QStringLiteral("Character"), true);
    optChar_->setAccessibleDescription(
        QStringLiteral("Each key is sent as a character of its own"));
    optString_ = option(modes, "optString", QStringLiteral("String"));
    optString_->setAccessibleDescription(
        QStringLiteral("Keys are sent as one string, ended by Enter"));
    auto* modeLayout = new QVBoxLayout(modes);
    modeLayout->setContentsMargins(8, 4, 8, 4);
    modeLayout->addWidget(optChar_);
    modeLayout->addWidget(optString_);

    auto* side = new QVBoxLayout;
    side->addWidget(fontFrame);
    side->addWidget(modes);
    side->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(inputFrame, 1);
    layout->addLayout(side);

    connect(Option1_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Option1_Click();
    });
    connect(Option2_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Option2_Click();
    });
    connect(Option3_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Option3_Click();
    });
    connect(Option4_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Option4_Click();
    });
}

QByteArray TextPanel::latin1Bytes(const QString& typed, QString* unsendable) {
    QByteArray bytes;
    const QString composed = typed.normalized(QString::NormalizationForm_C);
    for (char32_t c : composed.toUcs4()) {
        if (isControl(c))
            continue;
        if (c <= 0xFF)
            bytes.append(char(c));
        else if (unsendable)
            unsendable->append(QString::fromUcs4(&c, 1));
    }
    return bytes;
}

bool TextPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text2_) {
        if (claimControlKey(event))
            return true;
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const int code = controlCode(key);
            if (code >= 0)
                Text2_KeyPress(code);
            else
                typed(typedText(key)); // the control text of Delete, Escape, Tab is left out
        } else if (event->type() == QEvent::InputMethod) {
            // Dead keys, compose sequences and input methods deliver their characters here.
            typed(static_cast<QInputMethodEvent*>(event)->commitString());
        }
    }
    // Never cancel a key: the box shows what the user typed.
    return QWidget::eventFilter(watched, event);
}

void TextPanel::typed(const QString& text) {
    if (text.isEmpty() || !session_.portOpen())
        return;
    QString unsendable;
    const QByteArray bytes = latin1Bytes(text, &unsendable);
    for (char b : bytes)
        Text2_KeyPress(static_cast<unsigned char>(b));
    if (!unsendable.isEmpty() && session_.portOpen())
        tellNotSent(unsendable);
}

void TextPanel::tellNotSent(const QString& unsendable) {
    QStringList names;
    for (char32_t c : unsendable.toUcs4()) {
        const QString code = codePointText(c);
        const QChar::Category category = QChar::category(c);
        const bool visible = QChar::isPrint(c) && category != QChar::Mark_NonSpacing &&
                             category != QChar::Mark_SpacingCombining &&
                             category != QChar::Mark_Enclosing;
        const QString name =
            visible ? QStringLiteral("\"%1\" (%2)").arg(QString::fromUcs4(&c, 1), code) : code;
        if (!names.contains(name))
            names.append(name);
    }
    const QString text =
        QStringLiteral("%1 %2 not sent: the board takes only ISO 8859-1 (Latin-1) characters.")
            .arg(names.join(QStringLiteral(", ")),
                 names.size() == 1 ? QStringLiteral("was") : QStringLiteral("were"));
    dialogs_.message(this, text, MessageStyle::InformationOk, QStringLiteral("Character not sent"));
}

void TextPanel::Text2_KeyPress(int keyAscii) {
    if (keyAscii < 0 || keyAscii > 0xFF)
        return;
    if (!session_.portOpen())
        return;
    const auto k = static_cast<protocol::Byte>(keyAscii);

    if (optChar_->isChecked()) {
        session_.send(protocol::putChar(k));
        return;
    }
    if (!optString_->isChecked())
        return;

    const QByteArray message =
        stringCharacterCount_ == 0 ? protocol::beginString(k) : QByteArray(1, char(k));
    // A key that did not reach the board is not part of its string.
    if (!session_.send(message))
        return;
    if (keyAscii == kEnter) {
        stringCharacterCount_ = 0;
        return;
    }
    ++stringCharacterCount_;
    if (stringCharacterCount_ == kStringBufferLimit) {
        dialogs_.message(this, QStringLiteral("You reached the buffer limit of 45 characters."),
                         MessageStyle::InformationOk, QStringLiteral("Alert"));
        stringCharacterCount_ = 0;
    }
}

void TextPanel::selectFont(int font) {
    if (!session_.portOpen())
        return;
    session_.send(protocol::selectFont(static_cast<protocol::Byte>(font)));
}

void TextPanel::Option1_Click() {
    selectFont(1);
}
void TextPanel::Option2_Click() {
    selectFont(2);
}
void TextPanel::Option3_Click() {
    selectFont(3);
}
void TextPanel::Option4_Click() {
    selectFont(4);
}
