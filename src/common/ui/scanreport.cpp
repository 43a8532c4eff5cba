#include "common/ui/scanreport.h"

#include "common/displayname.h"
#include "common/unreadabletext.h"
#include "common/walkprogress.h"

#include <QLabel>
#include <QStringList>

namespace kelvane {

QString scanFailedText(const QString& reason)
{
    return QStringLiteral("The scan failed: %1.").arg(reason);
}

void noteUnreadable(QLabel* status, const WalkProgress& progress)
{
    const uint64_t count = progress.skipped();
    if (count == 0) {
        status->setToolTip(QString());
        return;
    }
    const QString note = unreadableText(count);
    status->setText(status->text().isEmpty() ? note : status->text() + QStringLiteral("; ") + note);
    QStringList tip;
    for (const std::string& path : progress.firstSkipped())
        tip.append(displayName(path));
    if (count > uint64_t(tip.size()))
        tip.append(QStringLiteral("..."));
    status->setToolTip(tip.join(QLatin1Char('\n')));
}

} // namespace kelvane
