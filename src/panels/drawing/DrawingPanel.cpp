#include "panels/drawing/DrawingPanel.h"

#include "engine/BoardSession.h"
#include "panels/Dialogs.h"
#include "panels/PanelWidgets.h"
#include "panels/drawing/CoordinateKeyFilter.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <algorithm>
#include <array>
#include <iterator>
#include <optional>

namespace {

constexpr int kBackspace = 8;
// A field's text is quoted in the refusal up to this length.
constexpr int kQuotedTextLength = 20;

QRect tw(int left, int top, int width = 0, int height = 0) {
    return QRect(left, top, width, height);
}

// What selecting an option does to the Enabled flag of the five mode and fill options and the
// Visible flag of the three parameter frames. No rule changes a selection, and a disabled option
// keeps its own: so "Reverse" can stay selected under "Line", whose "Send" then writes nothing.
enum class Flag : std::uint8_t {
    Keep,     // left as it is
    Off,      // disabled / hidden
    On,       // enabled / shown
    OnIfRect, // enabled while "Rectangle" is selected, else left as it is
};

struct OptionRule {
    const char* option;
    // "Empty", "Filled", "Reverse", "Draw", "Clear" (Enabled); Frame5, Frame35, Frame39 (Visible)
    std::array<Flag, 8> flags;
};

// clang-format off
using enum Flag;
constexpr OptionRule kOptionRules[] = {
    //            "Empty"   "Filled"  "Reverse" "Draw" "Clear" Frame5 Frame35 Frame39
    {"Option12", {Off,      Off,      Off,      Off,   Off,    On,    Off,    Off }}, // "Pixel"
    {"Option7",  {Off,      Off,      Off,      On,    On,     Off,   On,     Off }}, // "Line"
    {"Option8",  {On,       On,       On,       On,    On,     Off,   On,     Off }}, // "Rectangle"
    {"Option9",  {Off,      Off,      Off,      On,    On,     Off,   Off,    On  }}, // "Circle"
    {"Option5",  {OnIfRect, OnIfRect, Keep,     Keep,  Keep,   Keep,  Keep,   Keep}}, // "Draw"
    {"Option6",  {OnIfRect, OnIfRect, Keep,     Keep,  Keep,   Keep,  Keep,   Keep}}, // "Clear"
    {"Option13", {Off,      Off,      Keep,     Keep,  Keep,   Keep,  Keep,   Keep}}, // "Reverse"
};
// clang-format on

QString describe(QLineEdit* field) {
    const QString text = field->text();
    if (text.trimmed().isEmpty())
        return QStringLiteral("%1 is empty.").arg(field->accessibleName());
    QString shown = text;
    if (shown.size() > kQuotedTextLength)
        shown = shown.left(kQuotedTextLength) + QChar(0x2026);
    return QStringLiteral("%1 holds \"%2\".").arg(field->accessibleName(), shown);
}

} // namespace

DrawingPanel::DrawingPanel(engine::BoardSession& session, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), session_(session), dialogs_(dialogs) {
    using namespace widgets;

    Frame34_ = frame(this, "Frame34", QStringLiteral("Line/Rectangle/Circle/Pixel"));
    layout_.add(Frame34_, tw(720, 600, 4575, 3135));

    // Shape group.
    Option7_ = option(Frame34_, "Option7", QStringLiteral("Line"), true, tw(120, 360, 735, 375));
    Option8_ =
        option(Frame34_, "Option8", QStringLiteral("Rectangle"), false, tw(120, 720, 1095, 375));
    Option9_ =
        option(Frame34_, "Option9", QStringLiteral("Circle"), false, tw(1320, 360, 735, 375));
    Option12_ =
        option(Frame34_, "Option12", QStringLiteral("Pixel"), false, tw(1320, 720, 735, 375));

    Frame36_ = frame(Frame34_, "Frame36", QString(), QStringLiteral("Mode"));
    layout_.add(Frame36_, tw(2160, 240, 1215, 975));
    Option5_ = option(Frame36_, "Option5", QStringLiteral("Draw"), true, tw(120, 240, 735, 195));
    Option6_ = option(Frame36_, "Option6", QStringLiteral("Clear"), false, tw(120, 440, 735, 255));
    Option13_ =
        option(Frame36_, "Option13", QStringLiteral("Reverse"), false, tw(120, 640, 975, 255));

    Frame38_ = frame(Frame34_, "Frame38", QString(), QStringLiteral("Fill"));
    layout_.add(Frame38_, tw(3480, 240, 975, 975));
    Option10_ = option(Frame38_, "Option10", QStringLiteral("Empty"), true, tw(120, 300, 735, 195));
    Option11_ =
        option(Frame38_, "Option11", QStringLiteral("Filled"), false, tw(120, 600, 735, 255));

    // The three parameter frames lie on top of each other; the shape shows one.
    const QRect parameterFrame = tw(1440, 1320, 1935, 1695);

    Frame5_ = frame(Frame34_, "Frame5", QString(), QStringLiteral("Pixel"));
    layout_.add(Frame5_, parameterFrame);
    Text4_ = field(Frame5_, "Text4", QStringLiteral("Pixel X"), tw(720, 360, 615, 285));
    Text3_ = field(Frame5_, "Text3", QStringLiteral("Pixel Y"), tw(720, 720, 615, 285));
    labelAt(Frame5_, QStringLiteral("X"), Text4_, 360, 360);
    labelAt(Frame5_, QStringLiteral("Y"), Text3_, 360, 720);
    cmdSend_ = button(Frame5_, "cmdSend", QStringLiteral("Send"), QStringLiteral("Send pixel"));
    layout_.add(cmdSend_, tw(480, 1200, 975, 255));

    Frame35_ = frame(Frame34_, "Frame35", QString(), QStringLiteral("Line or rectangle"));
    layout_.add(Frame35_, parameterFrame);
    Text15_ = field(Frame35_, "Text15", QStringLiteral("Start X"), tw(360, 480, 495, 285));
    Text16_ = field(Frame35_, "Text16", QStringLiteral("Start Y"), tw(360, 840, 495, 285));
    Text18_ = field(Frame35_, "Text18", QStringLiteral("End X"), tw(1200, 480, 495, 285));
    Text19_ = field(Frame35_, "Text19", QStringLiteral("End Y"), tw(1200, 840, 495, 285));
    labelAt(Frame35_, QStringLiteral("Start"), nullptr, 360, 240, "Start");
    labelAt(Frame35_, QStringLiteral("End"), nullptr, 1320, 240);
    labelAt(Frame35_, QStringLiteral("X"), Text15_, 120, 480);
    labelAt(Frame35_, QStringLiteral("Y"), Text16_, 120, 840);
    labelAt(Frame35_, QStringLiteral("X"), Text18_, 960, 480);
    labelAt(Frame35_, QStringLiteral("Y"), Text19_, 960, 840);
    Command23_ = button(Frame35_, "Command23", QStringLiteral("Send"),
                        QStringLiteral("Send line or rectangle"));
    layout_.add(Command23_, tw(600, 1320, 855, 255));

    Frame39_ = frame(Frame34_, "Frame39", QString(), QStringLiteral("Circle"));
    layout_.add(Frame39_, parameterFrame);
    Text20_ = field(Frame39_, "Text20", QStringLiteral("Circle radius"), tw(360, 480, 495, 285));
    Text22_ = field(Frame39_, "Text22", QStringLiteral("Circle center X"), tw(1200, 480, 495, 285));
    Text23_ = field(Frame39_, "Text23", QStringLiteral("Circle center Y"), tw(1200, 840, 495, 285));
    labelAt(Frame39_, QStringLiteral("Radius"), nullptr, 360, 240);
    labelAt(Frame39_, QStringLiteral("R"), Text20_, 120, 480);
    labelAt(Frame39_, QStringLiteral("Center"), nullptr, 1200, 240);
    labelAt(Frame39_, QStringLiteral("X"), Text22_, 960, 480);
    labelAt(Frame39_, QStringLiteral("Y"), Text23_, 960, 840);
    Command26_ =
        button(Frame39_, "Command26", QStringLiteral("Send"), QStringLiteral("Send circle"));
    layout_.add(Command26_, tw(600, 1320, 855, 255));

    // Each group gets its own exclusive button group: Frame34 holds the shape options and,
    // nested in Frame36 and Frame38, the other two groups, which Qt's automatic exclusivity would
    // mix up with the shapes (a click on the selected shape could then clear it).
    for (const QList<QRadioButton*>& group :
         {QList<QRadioButton*>{Option12_, Option7_, Option8_, Option9_},
          QList<QRadioButton*>{Option5_, Option6_, Option13_},
          QList<QRadioButton*>{Option10_, Option11_}}) {
        auto* buttons = new QButtonGroup(this);
        for (QRadioButton* o : group)
            buttons->addButton(o);
    }

    // Keyboard order follows the reading order: shapes, modes, fills, then the shown fields.
    setTabOrder(Option7_, Option8_);
    setTabOrder(Option8_, Option9_);
    setTabOrder(Option9_, Option12_);
    setTabOrder(Option12_, Option5_);

    const auto whenSelected = [this](QRadioButton* o, void (DrawingPanel::*handler)()) {
        connect(o, &QRadioButton::toggled, this, [this, handler](bool selected) {
            if (selected)
                (this->*handler)();
        });
    };
    whenSelected(Option12_, &DrawingPanel::Option12_Click);
    whenSelected(Option7_, &DrawingPanel::Option7_Click);
    whenSelected(Option8_, &DrawingPanel::Option8_Click);
    whenSelected(Option9_, &DrawingPanel::Option9_Click);
    whenSelected(Option5_, &DrawingPanel::Option5_Click);
    whenSelected(Option6_, &DrawingPanel::Option6_Click);
    whenSelected(Option13_, &DrawingPanel::Option13_Click);

    connect(cmdSend_, &QPushButton::clicked, this, &DrawingPanel::cmdSend_Click);
    connect(Command23_, &QPushButton::clicked, this, &DrawingPanel::Command23_Click);
    connect(Command26_, &QPushButton::clicked, this, &DrawingPanel::Command26_Click);

    const auto filter = [this](QLineEdit* f, void (DrawingPanel::*handler)(int&)) {
        new CoordinateKeyFilter(f, [this, handler](int& keyAscii) { (this->*handler)(keyAscii); });
    };
    filter(Text4_, &DrawingPanel::Text4_KeyPress);
    filter(Text3_, &DrawingPanel::Text3_KeyPress);
    filter(Text15_, &DrawingPanel::Text15_KeyPress);
    filter(Text16_, &DrawingPanel::Text16_KeyPress);
    filter(Text18_, &DrawingPanel::Text18_KeyPress);
    filter(Text19_, &DrawingPanel::Text19_KeyPress);

    // The start state is the one "Line" sets.
    Option7_Click();
    layOut();
}

QRadioButton* DrawingPanel::option(QWidget* frame, const char* name, const QString& caption,
                                   bool selected, QRect twips) {
    QRadioButton* o = widgets::option(frame, name, caption, selected);
    layout_.add(o, twips);
    return o;
}

QLineEdit* DrawingPanel::field(QWidget* frame, const char* name, const QString& accessibleName,
                               QRect twips) {
    QLineEdit* f = widgets::entryBox(frame, name, QStringLiteral("0"), accessibleName);
    layout_.add(f, twips);
    return f;
}

void DrawingPanel::labelAt(QWidget* frame, const QString& text, QWidget* buddy, int left, int top,
                           const char* name) {
    QLabel* l = widgets::label(frame, text, buddy);
    l->setObjectName(QString::fromLatin1(name));
    if (buddy)
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    layout_.add(l, tw(left, top));
}

void DrawingPanel::layOut() {
    layout_.apply();
    // Room for the frame with the same margin on the right and below as on the left and above.
    const QRect frame = Frame34_->geometry();
    setMinimumSize(frame.right() + 1 + frame.left(), frame.bottom() + 1 + frame.top());
}

void DrawingPanel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        layOut();
    QWidget::changeEvent(event);
}

// --- shape and mode options ------------------------------------------------------------------

void DrawingPanel::applyOptionRule(const char* option) {
    const auto rule =
        std::find_if(std::begin(kOptionRules), std::end(kOptionRules),
                     [option](const OptionRule& r) { return qstrcmp(r.option, option) == 0; });
    if (rule == std::end(kOptionRules))
        return;
    QWidget* const enabled[] = {Option10_, Option11_, Option13_, Option5_, Option6_};
    QWidget* const visible[] = {Frame5_, Frame35_, Frame39_};
    const bool rectangle = Option8_->isChecked();
    const auto resolve = [rectangle](Flag f) -> std::optional<bool> {
        switch (f) {
        case Flag::Keep:
            return std::nullopt;
        case Flag::Off:
            return false;
        case Flag::On:
            return true;
        case Flag::OnIfRect:
            return rectangle ? std::optional<bool>(true) : std::nullopt;
        }
        return std::nullopt;
    };
    for (std::size_t i = 0; i < std::size(enabled); ++i)
        if (const std::optional<bool> on = resolve(rule->flags[i]))
            enabled[i]->setEnabled(*on);
    for (std::size_t i = 0; i < std::size(visible); ++i)
        if (const std::optional<bool> on = resolve(rule->flags[std::size(enabled) + i]))
            visible[i]->setVisible(*on);
}

void DrawingPanel::Option12_Click() {
    applyOptionRule("Option12");
}
void DrawingPanel::Option7_Click() {
    applyOptionRule("Option7");
}
void DrawingPanel::Option8_Click() {
    applyOptionRule("Option8");
}
void DrawingPanel::Option9_Click() {
    applyOptionRule("Option9");
}
void DrawingPanel::Option5_Click() {
    applyOptionRule("Option5");
}
void DrawingPanel::Option6_Click() {
    applyOptionRule("Option6");
}
void DrawingPanel::Option13_Click() {
    applyOptionRule("Option13");
}

// --- sending ---------------------------------------------------------------------------------

drawing::Shape DrawingPanel::shape() const {
    using drawing::Shape;
    return Option12_->isChecked()  ? Shape::Pixel
           : Option8_->isChecked() ? Shape::Rectangle
           : Option9_->isChecked() ? Shape::Circle
                                   : Shape::Line;
}

drawing::Mode DrawingPanel::mode() const {
    using drawing::Mode;
    return Option5_->isChecked() ? Mode::Draw : Option6_->isChecked() ? Mode::Clear : Mode::Reverse;
}

drawing::Fill DrawingPanel::fill() const {
    return Option11_->isChecked() ? drawing::Fill::Filled : drawing::Fill::Empty;
}

void DrawingPanel::send(drawing::Shape shape, const QList<QLineEdit*>& fields) {
    if (!session_.portOpen())
        return;
    QStringList texts;
    for (QLineEdit* f : fields)
        texts << f->text();
    const drawing::DrawingCommand command = drawing::drawingCommand(shape, mode(), fill(), texts);
    if (!command.refused.isEmpty()) {
        QStringList named;
        for (int i : command.refused)
            named << describe(fields[i]);
        dialogs_.message(this,
                         QStringLiteral("Nothing was sent: each value must be a whole number "
                                        "from 0 to 255.\n\n") +
                             named.join(QLatin1Char('\n')),
                         MessageStyle::InformationOk, QStringLiteral("Error"));
        return;
    }
    // A failed write closes the port: the pixel's coordinates then stay unsent.
    for (const QByteArray& write : command.writes)
        if (!session_.send(write))
            return;
}

// Each "Send" serves the shape of its frame; the frame is shown only for that shape.
void DrawingPanel::cmdSend_Click() {
    send(drawing::Shape::Pixel, {Text4_, Text3_});
}

void DrawingPanel::Command23_Click() {
    const drawing::Shape s = shape();
    if (s == drawing::Shape::Line || s == drawing::Shape::Rectangle)
        send(s, {Text15_, Text16_, Text18_, Text19_});
}

void DrawingPanel::Command26_Click() {
    if (shape() == drawing::Shape::Circle)
        send(drawing::Shape::Circle, {Text20_, Text22_, Text23_});
}

// --- key filter of the coordinate fields ------------------------------------------------------

void DrawingPanel::coordinateKeyPress(QLineEdit* field, int& keyAscii) {
    if (keyAscii >= '0' && keyAscii <= '9')
        return;
    if (keyAscii != kBackspace)
        dialogs_.message(this, QStringLiteral("Illegal Character"), MessageStyle::InformationOk,
                         QStringLiteral("Error"));
    // Backspace and refused keys both leave exactly "0", with the insertion point after it so
    // that the next digit typed replaces the value rather than multiplying it by ten.
    keyAscii = 0;
    field->setText(QStringLiteral("0"));
    field->setCursorPosition(1);
}

void DrawingPanel::Text4_KeyPress(int& keyAscii) {
    coordinateKeyPress(Text4_, keyAscii);
}
void DrawingPanel::Text3_KeyPress(int& keyAscii) {
    coordinateKeyPress(Text3_, keyAscii);
}
void DrawingPanel::Text15_KeyPress(int& keyAscii) {
    coordinateKeyPress(Text15_, keyAscii);
}
void DrawingPanel::Text16_KeyPress(int& keyAscii) {
    coordinateKeyPress(Text16_, keyAscii);
}
void DrawingPanel::Text18_KeyPress(int& keyAscii) {
    coordinateKeyPress(Text18_, keyAscii);
}
void DrawingPanel::Text19_KeyPress(int& keyAscii) {
    coordinateKeyPress(Text19_, keyAscii);
}
