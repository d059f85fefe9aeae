#include "store/ReferenceLists.h"

#include "store/Installation.h"
#include "store/TextFiles.h"

#include <QFileInfo>

namespace zelm {

QString referenceListPath(const Installation& inst, const ReferenceListDef& def) {
    return inst.path(QStringLiteral("Baza/") + QLatin1String(def.file));
}

QStringList defaultEntries(const ReferenceListDef& def) {
    const QString file = QLatin1String(def.file);
    const QStringList ranks = {
        QStringLiteral("младший лейтенант полиции"),
        QStringLiteral("лейтенант полиции"),
        QStringLiteral("старший лейтенант полиции"),
        QStringLiteral("капитан полиции"),
        QStringLiteral("майор полиции"),
        QStringLiteral("подполковник полиции"),
        QStringLiteral("полковник полиции"),
        QStringLiteral("генерал-майор полиции"),
    };
    const QStringList posts = {
        QStringLiteral("оперуполномоченный"),  QStringLiteral("старший оперуполномоченный"),
        QStringLiteral("начальник отделения"), QStringLiteral("заместитель начальника отдела"),
        QStringLiteral("начальник отдела"),
    };
    if (file == QLatin1String("VidORM.txt"))
        return {
            QStringLiteral("Опрос"),
            QStringLiteral("Наведение справок"),
            QStringLiteral("Сбор образцов для сравнительного исследования"),
            QStringLiteral("Проверочная закупка"),
            QStringLiteral("Исследование предметов и документов"),
            QStringLiteral("Наблюдение"),
            QStringLiteral("Отождествление личности"),
            QStringLiteral("Обследование помещений, зданий, сооружений"),
            QStringLiteral("Контроль почтовых отправлений и сообщений"),
            QStringLiteral("Прослушивание телефонных переговоров"),
            QStringLiteral("Снятие информации с технических каналов связи"),
            QStringLiteral("Оперативное внедрение"),
            QStringLiteral("Контролируемая поставка"),
            QStringLiteral("Оперативный эксперимент"),
            QStringLiteral("Получение компьютерной информации"),
        };
    if (file == QLatin1String("FormSobs.txt"))
        return {
            QStringLiteral("общество с ограниченной ответственностью"),
            QStringLiteral("акционерное общество"),
            QStringLiteral("публичное акционерное общество"),
            QStringLiteral("индивидуальный предприниматель"),
            QStringLiteral("государственное унитарное предприятие"),
            QStringLiteral("муниципальное унитарное предприятие"),
            QStringLiteral("некоммерческая организация"),
            QStringLiteral("потребительский кооператив"),
        };
    if (file == QLatin1String("ZvanSotr.txt") || file == QLatin1String("ZvanUtv.txt"))
        return ranks;
    if (file == QLatin1String("DolgSotr.txt") || file == QLatin1String("DolgUtv.txt"))
        return posts;
    if (file == QLatin1String("Osnovan.txt"))
        return {
            QStringLiteral("Постановление о проведении ОРМ"),
            QStringLiteral("Рапорт"),
            QStringLiteral("Поручение следователя"),
        };
    if (file == QLatin1String("Povod.txt"))
        return {
            QStringLiteral("Заявление гражданина"),
            QStringLiteral("Сообщение о преступлении"),
            QStringLiteral("Оперативная информация"),
        };
    if (file == QLatin1String("KUSPForm.txt"))
        return {
            QStringLiteral("ст. 159 УК РФ"), QStringLiteral("ст. 160 УК РФ"),
            QStringLiteral("ст. 171 УК РФ"), QStringLiteral("ст. 199 УК РФ"),
            QStringLiteral("ст. 290 УК РФ"),
        };
    return {};
}

void createMissingReferenceLists(const Installation& inst, bool newInstallation) {
    for (const ReferenceListDef& def : referenceLists()) {
        QString path = referenceListPath(inst, def);
        if (QFileInfo::exists(path))
            continue;
        writeTextLines(path, newInstallation ? defaultEntries(def) : QStringList());
    }
}

} // namespace zelm
