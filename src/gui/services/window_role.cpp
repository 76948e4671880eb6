#include "services/window_role.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QByteArray>
#include <QWidget>

namespace renomiq {

namespace {

// The nearest class of Qt's own that `object`'s class derives from.
const char *qtBaseClass(const QObject *object)
{
    const QMetaObject *meta = object->metaObject();
    while (meta && QByteArray(meta->className()).contains("::"))
        meta = meta->superClass();
    return meta ? meta->className() : "";
}

QAccessibleInterface *windowInterface(const QString &className, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    // Asked first with the object's own class; Qt's factory answers for its
    // own classes (dialogs, main windows) further up.
    if (!widget || !widget->isWindow() || className != QLatin1String(object->metaObject()->className()))
        return nullptr;
    if (qstrcmp(qtBaseClass(object), "QWidget") != 0)
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Window);
}

} // namespace

void announceAsWindows()
{
    static const bool installed = [] {
        QAccessible::installFactory(windowInterface);
        return true;
    }();
    (void)installed; // installed once per program
}

} // namespace renomiq
