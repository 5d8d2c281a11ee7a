#include "ctl/ProgressBar.h"

#include <algorithm>

namespace ctl {

QString ProgressBar::render(int sent, int total, qint64 elapsedMs) {
    total = std::max(total, 1);
    sent = std::clamp(sent, 0, total);
    const int filled = int(qint64(sent) * kBarWidth / total);
    QString text = u'[' + QString(filled, u'#') + QString(kBarWidth - filled, u'.') + u']';
    const int digits = int(QString::number(total).size());
    text += QStringLiteral("  %1/%2 bytes").arg(sent, digits).arg(total);
    if (sent == 0 || elapsedMs <= 0)
        return text + QStringLiteral("  --- B/s  -:-- left");
    const double perSecond = double(sent) * 1000.0 / double(elapsedMs);
    text += perSecond >= 1000 ? QStringLiteral("  %1 kB/s").arg(perSecond / 1000, 0, 'f', 1)
                              : QStringLiteral("  %1 B/s").arg(qRound(perSecond));
    // Rounded up, so that "0:00 left" means done.
    const qint64 leftMs = qint64(double(total - sent) * 1000.0 / perSecond);
    const qint64 leftSeconds = (leftMs + 999) / 1000;
    return text + QStringLiteral("  %1:%2 left")
                      .arg(leftSeconds / 60)
                      .arg(leftSeconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace ctl
