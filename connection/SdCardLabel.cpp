#include "SdCardLabel.h"

#include <array>

QString SdCardLabelForSectors(qint64 sectors)
{
    if (sectors <= 0)
        return {};
    const double megabytes = static_cast<double>(sectors) * 512.0 / 1048576.0;
    struct Step
    {
        double limit;
        const char *label;
    };
    static constexpr std::array<Step, 11> steps{{{128, "[128MB]"},
                                                 {256, "[256MB]"},
                                                 {512, "[512MB]"},
                                                 {768, "[768MB]"},
                                                 {1024, "[1.0GB]"},
                                                 {1536, "[1.5GB]"},
                                                 {2048, "[2.0GB]"},
                                                 {2560, "[2.5GB]"},
                                                 {3072, "[3.0GB]"},
                                                 {3584, "[3.5GB]"},
                                                 {4096, "[4.0GB]"}}};
    for (const Step &step : steps) {
        if (megabytes <= step.limit)
            return QString::fromLatin1(step.label);
    }
    return QStringLiteral("[%1MB]").arg(static_cast<qint64>(megabytes));
}

QString SdCardLabelFromReply(const QString &replyText)
{
    if (replyText.size() <= 11)
        return {};
    bool ok = false;
    const qint64 sectors = replyText.mid(5, 7).trimmed().toLongLong(&ok);
    return ok ? SdCardLabelForSectors(sectors) : QString();
}
