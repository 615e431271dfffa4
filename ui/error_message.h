#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace kalvoran::ui {

// Shows an input error to the user and returns once it has been dismissed.
// Windows take one of these so that tests can record the messages instead of
// blocking on a real message box.
using ErrorPresenter = std::function<void(QWidget *owner, const QString &message)>;

// The real one: a message box modal to the whole program and kept above its
// owner, titled "Error", with the error icon and a single OK button.
void showErrorBox(QWidget *owner, const QString &message);

} // namespace kalvoran::ui
