#include "window/EditBox.h"

#include <QKeyEvent>

namespace pelicard {

void EditBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        hide();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace pelicard
