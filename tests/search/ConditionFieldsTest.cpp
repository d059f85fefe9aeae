// Each condition of the search window tests its own field of the card: a mark put into one
// field of one card is found by that field's condition and by no other.
#include "common/ScriptedPlatform.h"
#include "search/SearchConditions.h"
#include "search/SearchRun.h"
#include "store/Cp1251.h"

#include <QComboBox>
#include <QLineEdit>
#include <cstring>
#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

struct Condition {
    const char* control;
    SearchField field;
};

const Condition kConditions[] = {
    {"NomKUSP", SearchField::NomKUSP},     {"Gorod", SearchField::AdresOrg},
    {"KomuPor", SearchField::FIOSotr},     {"Otdel", SearchField::Podrazd},
    {"Zayavitel", SearchField::NameOrg},   {"IForma", SearchField::FormSobs},
    {"KlSlovo", SearchField::VidORM},      {"SlNazv", SearchField::Povod},
    {"WhNash", SearchField::Osnovan},      {"IshNash", SearchField::NomDokOsn},
    {"IRez", SearchField::Rezultat},       {"IPrim", SearchField::Prime4},
    {"DolgnUtv", SearchField::DolgnUtv},   {"FIOUtv", SearchField::FIOUtv},
};

QString markOf(int i) {
    return QStringLiteral("щъ") + QChar(u'а' + i);
}

// Writes `text` into a field of the card as the record stores it.
void putField(TAnketa& card, SearchField field, const QString& text) {
    const FieldPlace place = fieldPlace(field);
    const QByteArray bytes = toCp1251(text);
    auto* raw = reinterpret_cast<unsigned char*>(&card) + place.offset;
    raw[0] = static_cast<unsigned char>(bytes.size());
    std::memcpy(raw + 1, bytes.constData(), static_cast<size_t>(bytes.size()));
}

void typeCondition(TPoisk* p, const char* control, const QString& text) {
    if (auto* edit = p->findChild<QLineEdit*>(QLatin1String(control)))
        edit->setText(text);
    else
        p->findChild<QComboBox*>(QLatin1String(control))->setEditText(text);
}

TEST(SearchConditionFields, EachConditionFindsTheCardMarkedInItsOwnField) {
    constexpr int n = static_cast<int>(std::size(kConditions));
    std::vector<TAnketa> cards = makeCards(n);
    for (int i = 0; i < n; ++i)
        putField(cards[static_cast<size_t>(i)], kConditions[i].field, markOf(i));
    SearchRun run(cards);
    run.openSearch();
    for (int i = 0; i < n; ++i) {
        SCOPED_TRACE(kConditions[i].control);
        run.p->FormActivate(); // every condition empty again
        typeCondition(run.p, kConditions[i].control, markOf(i));
        run.p->WsehSrazuClick();
        EXPECT_EQ(run.workingNumbers(),
                  std::vector<std::int32_t>{cards[static_cast<size_t>(i)].Klu4Form1});
    }
}

} // namespace
