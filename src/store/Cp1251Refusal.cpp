#include "store/Cp1251Refusal.h"

#include "store/Cp1251.h"

namespace zelm {

QStringList charactersOutsideCp1251(const QString& text) {
    QStringList out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        QString one(c);
        char32_t code = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            one += text.at(++i);
            code = QChar::surrogateToUcs4(c, text.at(i));
        } else if (fitsCp1251(one)) {
            continue;
        }
        const QChar::Category cat = QChar::category(code);
        const bool invisible = c.isSurrogate() && one.size() == 1; // a lone half of a pair
        if (invisible || cat == QChar::Mark_NonSpacing || cat == QChar::Mark_SpacingCombining ||
            cat == QChar::Mark_Enclosing || cat == QChar::Other_Format ||
            cat == QChar::Other_Control || cat == QChar::Separator_Space ||
            cat == QChar::Separator_Line || cat == QChar::Separator_Paragraph ||
            cat == QChar::Other_PrivateUse || cat == QChar::Other_NotAssigned)
            one = QStringLiteral("U+%1").arg(quint32(code), 4, 16, QLatin1Char('0')).toUpper();
        if (!out.contains(one))
            out << one;
    }
    return out;
}

QString cp1251Refusal(const QString& what, const QString& text) {
    if (fitsCp1251(text))
        return {};
    return QStringLiteral("%1: в тексте есть знаки, которых нет в кодировке Windows-1251: %2. "
                          "Такой текст не может быть сохранён — уберите эти знаки или замените "
                          "их русскими или латинскими буквами.")
        .arg(what, charactersOutsideCp1251(text).join(QStringLiteral(" ")));
}

} // namespace zelm
