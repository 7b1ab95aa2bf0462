#include "seatstate/keyboardgrouping.h"

#include <QRegularExpression>
#include <QSet>

QList<KeyboardGroup> groupKeyboards(const QList<DeviceEntry> &keyboards)
{
    // "/bus-port:config.interface/", one digit each but the port.
    static const QRegularExpression interfaceDir(QStringLiteral("/[0-9]-[0-9]+:[0-9].[0-9]/"));

    const int n = keyboards.size();
    QSet<int> absorbed;
    QVector<QList<int>> members(n);
    if (n >= 2) {
        for (int i = 0; i < n; ++i) {
            if (absorbed.contains(i))
                continue;
            const QRegularExpressionMatch head = interfaceDir.match(keyboards.at(i).second);
            if (!head.hasMatch())
                continue;
            // All but the interface number and the closing slash.
            const QString a = head.captured(0);
            const int m = a.size() - 2;
            for (int j = i + 1; j < n; ++j) {
                const QRegularExpressionMatch other = interfaceDir.match(keyboards.at(j).second);
                if (!other.hasMatch())
                    continue;
                if (other.captured(0).left(m) == a.left(m)) {
                    members[i].append(j);
                    absorbed.insert(j);
                }
            }
        }
    }

    QList<KeyboardGroup> groups;
    for (int k = 0; k < n; ++k) {
        if (absorbed.contains(k))
            continue;
        KeyboardGroup group{keyboards.at(k).first, {keyboards.at(k).second}};
        for (int j : qAsConst(members[k]))
            group.addresses.append(keyboards.at(j).second);
        groups.append(group);
    }
    return groups;
}
