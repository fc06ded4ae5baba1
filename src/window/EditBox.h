#pragma once

#include <QLineEdit>

namespace pelicard {

// A text box that hides itself when Esc is pressed in it.
class EditBox : public QLineEdit {
    Q_OBJECT

public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace pelicard
