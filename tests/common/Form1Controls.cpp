#include "common/Form1Controls.h"

#include "cardwindow/CardListModel.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <map>

#include "widgets/TdxfColorButton.h"

namespace zelm::testing {

Form1Controls& controls(TForm1& w) {
    // One set per window; a window at the same address later is a new window, found again.
    static std::map<TForm1*, std::pair<QObject*, Form1Controls>> found;
    auto& entry = found[&w];
    if (entry.first == w.findChild<QWidget*>(QStringLiteral("Form1Client")))
        return entry.second;
    Form1Controls ui{};
#define ZELM_FIND(type, name)                                                                      \
    ui.name = w.findChild<type*>(QStringLiteral(#name));                                           \
    if (!ui.name)                                                                                  \
        qFatal("The card window has no control named %s", #name);
    ZELM_FORM1_CONTROLS(ZELM_FIND)
#undef ZELM_FIND
    ui.mainList = qobject_cast<CardListModel*>(ui.Spisok->model());
    ui.workingList = qobject_cast<CardListModel*>(ui.RabTab->model());
    ui.archiveList = qobject_cast<CardListModel*>(ui.ArhTab->model());
    entry = {w.findChild<QWidget*>(QStringLiteral("Form1Client")), ui};
    return entry.second;
}

} // namespace zelm::testing
