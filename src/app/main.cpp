#include "app/ZelmApp.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    return zelm::runZelm(application);
}
