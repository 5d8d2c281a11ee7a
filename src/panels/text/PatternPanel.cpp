#include "panels/text/PatternPanel.h"

#include "engine/BoardSession.h"
#include "panels/Dialogs.h"
#include "panels/PanelWidgets.h"
#include "panels/text/ControlCode.h"
#include "panels/text/PatternTextEdit.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kBackspace = 0x08;
constexpr int kEscape = 0x1B;

bool isControl(QChar c) {
    return c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F);
}

// The box's own editing shortcuts: they edit the list and type no character.
bool isEditingShortcut(const QKeyEvent* key) {
    static constexpr QKeySequence::StandardKey kEditing[] = {
        QKeySequence::Copy,
        QKeySequence::Cut,
        QKeySequence::Paste,
        QKeySequence::Undo,
        QKeySequence::Redo,
        QKeySequence::SelectAll,
        QKeySequence::DeleteStartOfWord,
        QKeySequence::DeleteEndOfWord,
        QKeySequence::DeleteEndOfLine,
        QKeySequence::DeleteCompleteLine,
    };
    for (QKeySequence::StandardKey k : kEditing)
        if (key->matches(k))
            return true;
    return false;
}

// The character codes a key would put into the box, as a key press delivers them: Escape,
// Enter and Ctrl chords by their control codes. Keys that only move or edit (arrows, Home, End,
// Tab, Delete) and the box's editing shortcuts (Ctrl+V, Ctrl+Z, ...) deliver none.
QString typedCharacters(const QKeyEvent* key) {
    if (isEditingShortcut(key))
        return {};
    if (key->key() == Qt::Key_Escape)
        return QString(QChar(kEscape));
    if (const int code = controlCode(key); code >= 0)
        return QString(QChar(code));
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::ControlModifier || mods == (Qt::ControlModifier | Qt::ShiftModifier))
        return {}; // a Ctrl chord with no character, such as Ctrl+1
    QString text = key->text();
    text.removeIf(isControl);
    return text;
}

} // namespace

PatternPanel::PatternPanel(engine::BoardSession& session, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), session_(session), dialogs_(dialogs) {
    using namespace widgets;

    auto* pattern = frame(this, "FramePattern", QStringLiteral("Pattern"));
    txtString1_ = new PatternTextEdit(pattern);
    txtString1_->setObjectName(QStringLiteral("txtString1"));
    txtString1_->setAccessibleName(QStringLiteral("Pattern values"));
    txtString1_->setAccessibleDescription(
        QStringLiteral("Byte values 0 to 255, separated by commas"));
    txtString1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtString1_->setTabChangesFocus(true);
    txtString1_->setMinimumHeight(txtString1_->fontMetrics().lineSpacing() * 4);
    txtString1_->installEventFilter(this);
    Command1_ = button(pattern, "Command1", QStringLiteral("Send"), QStringLiteral("Send pattern"));
    Label6_ = label(pattern, QStringLiteral("Example: 0,...,255"), txtString1_);
    Label6_->setObjectName(QStringLiteral("Label6"));

    auto* grid = new QGridLayout(pattern);
    grid->addWidget(txtString1_, 0, 0, 1, 2);
    grid->addWidget(Label6_, 1, 0);
    grid->addWidget(Command1_, 1, 1);
    grid->setColumnStretch(0, 1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pattern);

    connect(Command1_, &QPushButton::clicked, this, &PatternPanel::Command1_Click);
    connect(txtString1_, &PatternTextEdit::pasteRefused, this, &PatternPanel::showIllegalCharacter);
}

std::optional<protocol::Byte> PatternPanel::patternValue(QStringView piece) {
    const QStringView digits = piece.trimmed();
    if (digits.isEmpty())
        return std::nullopt;
    int value = 0;
    bool tooLarge = false;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        // Stop counting once past a byte, so a long run of digits cannot wrap around.
        if (!tooLarge) {
            value = value * 10 + (c.unicode() - u'0');
            tooLarge = value > 0xFF;
        }
    }
    if (tooLarge)
        return std::nullopt;
    return static_cast<protocol::Byte>(value);
}

void PatternPanel::Command1_Click() {
    const QString list = txtString1_->toPlainText();
    if (!list.isEmpty()) {
        for (QStringView piece : QStringView(list).tokenize(u',')) {
            // A write that fails closes the port; the rest of the list then stays unsent.
            if (!session_.portOpen())
                break;
            if (const auto value = patternValue(piece))
                session_.send(protocol::putPattern(*value));
        }
    }
    txtString1_->clear();
    txtString1_->setFocus();
}

bool PatternPanel::txtString1_KeyPress(int keyAscii) {
    const bool accepted =
        (keyAscii >= '0' && keyAscii <= '9') || keyAscii == ',' || keyAscii == kBackspace;
    if (!accepted)
        showIllegalCharacter();
    return accepted;
}

void PatternPanel::showIllegalCharacter() {
    dialogs_.message(this, QStringLiteral("Illegal Character"), MessageStyle::InformationOk,
                     QStringLiteral("Error"));
}

bool PatternPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtString1_) {
        // Ctrl+letters are refused here like any other character, window shortcuts included.
        if (claimControlKey(event))
            return true;
        QString characters;
        if (event->type() == QEvent::KeyPress)
            characters = typedCharacters(static_cast<QKeyEvent*>(event));
        else if (event->type() == QEvent::InputMethod)
            characters = static_cast<QInputMethodEvent*>(event)->commitString();
        for (QChar c : characters) {
            // One refusal per key: the whole key is dropped.
            if (!txtString1_KeyPress(c.unicode()))
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
