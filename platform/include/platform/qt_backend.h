// What the Qt backend lets its own tests look at. Only code that links the Qt
// backend (and includes Qt itself) uses this header.
#pragma once

class QDialog;
class QMainWindow;
class QWidget;

namespace platform {

struct Window;

QMainWindow* qtMainWindow();
QWidget* qtGameArea();
QDialog* qtDialog(Window* dialog);

}  // namespace platform
