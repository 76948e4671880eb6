#include "services/name_label.h"

#include <QLabel>

namespace renomiq {

void setWholeName(QLabel *label, const QString &text)
{
    label->setWordWrap(false);
    label->setTextFormat(Qt::PlainText);
    label->setText(label->fontMetrics().elidedText(text, Qt::ElideMiddle, label->contentsRect().width()));
    label->setToolTip(text);
    label->setAccessibleName(text);
}

} // namespace renomiq
