#include "ctl/Mirror.h"

#include "ctl/ScreenOutput.h"
#include "ctl/ScreenRender.h"

namespace ctl {

void Mirror::feed(const QByteArray& sent) {
    interpreter_.feed(reinterpret_cast<const std::uint8_t*>(sent.constData()),
                      std::size_t(sent.size()));
}

int Mirror::write(Console& console) const {
    ScreenContents screen = ScreenRender::contents(model_);
    screen.origin = QStringLiteral("the bytes a vantrelctl run sent (--mirror)");
    screen.conversion = QStringLiteral("none: the display memory as the run left it");
    return ScreenOutput::write(output_, screen, console);
}

} // namespace ctl
