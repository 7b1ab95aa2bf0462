#include "platform/keyhint.h"

#include <QKeySequence>

QString KeyHint::toolTip(const QString &toolTip, int key)
{
    //: A tool tip and the key that does the same
    return tr("%1 (%2)").arg(toolTip, QKeySequence(key).toString(QKeySequence::NativeText));
}
