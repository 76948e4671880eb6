#pragma once

#include <QString>

class QLabel;

namespace renomiq {

// Shows a name or path on one line of a label: shortened in the middle when it
// is wider than the label, with the whole text as tooltip and as what a screen
// reader reads.
void setWholeName(QLabel *label, const QString &text);

} // namespace renomiq
