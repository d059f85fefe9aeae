#include "app/Usage.h"

namespace zelm {

QString zelmHelp(bool russian) {
    if (russian)
        return QStringLiteral(
            "Использование: zelm [ПАРАМЕТР-Qt]...\n"
            "Картотека оперативно-розыскных мероприятий (ОРМ).\n"
            "\n"
            "  -h, --help       показать эту справку и выйти\n"
            "  -v, --version    показать версию и выйти\n"
            "\n"
            "Принимаются параметры Qt: -platform ИМЯ, -style ИМЯ, -stylesheet ФАЙЛ, "
            "-reverse,\n-qwindowgeometry ГЕОМЕТРИЯ, -display ДИСПЛЕЙ и другие.\n"
            "\n"
            "Папка установки (данные, настройки, шаблоны, отчёты): $ZELM_HOME, иначе ~/ZELM.\n"
            "Подробнее: man zelm\n");
    return QStringLiteral(
        "Usage: zelm [QT-OPTION]...\n"
        "Card index of operational-search measures (Russian interface).\n"
        "\n"
        "  -h, --help       show this help and exit\n"
        "  -v, --version    show the version and exit\n"
        "\n"
        "Qt's options are accepted: -platform NAME, -style NAME, -stylesheet FILE, -reverse,\n"
        "-qwindowgeometry GEOMETRY, -display DISPLAY and others.\n"
        "\n"
        "Installation folder (data, settings, templates, reports): $ZELM_HOME, else ~/ZELM.\n"
        "See also: man zelm\n");
}

QString zelmVersion() {
    return QStringLiteral("zelm " ZELM_VERSION "\n");
}

} // namespace zelm
