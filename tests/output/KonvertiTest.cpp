// The envelope window: its controls, the two envelope data files, the preview check box and
// what it keeps between openings.
#include "PrintFixture.h"

#include "output/PrintCommands.h"
#include "output/TKonverti.h"
#include "store/Settings.h"
#include "widgets/TdxfColorButton.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

using namespace zelm;
using namespace zelm::testing;

namespace {

class Konverti : public PrintFixture {
protected:
    Konverti() : settings(defaultSettings(inst)), window(settings, launcher) {}

    template <class W> W* find(const char* name) {
        W* w = window.findChild<W*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString label(const char* box) {
        auto* l = find<QLabel>((QByteArray("Label") + box).constData());
        return l ? l->text() : QString();
    }
    void type(const char* box, const QString& text) { find<QLineEdit>(box)->setText(text); }
    // Opens the window as the card window does and closes it again at once.
    void openAndClose() {
        QTimer::singleShot(0, &window, &QDialog::reject);
        window.KonvertClick();
    }

    OfficeSettings settings;
    TKonverti window;
};

} // namespace

TEST_F(Konverti, EveryControlHasItsNameLabelCaptionAndHint) {
    EXPECT_EQ(window.objectName(), QStringLiteral("Konverti"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("На конверт напечатать информацию"));
    EXPECT_EQ(find<QLabel>("LabelOtKogo")->text(), QStringLiteral("От кого"));
    EXPECT_EQ(find<QLabel>("LabelKomu")->text(), QStringLiteral("Кому"));
    EXPECT_EQ(find<QGroupBox>("Komu")->title(),
              QStringLiteral("Почтовые реквизиты получателя письма"));
    EXPECT_EQ(find<QGroupBox>("Pe4at")->title(), QStringLiteral("Печать на конвертах") +
                                                     QString(29, QLatin1Char(' ')) + "1/2" +
                                                     QString(23, QLatin1Char(' ')) + "1/3");

    const std::pair<const char*, const char*> boxes[] = {
        {"Firma", "ФИО"},           {"Dolgnost", "Должность"},
        {"Gorod", "Город"},         {"OblKr", "Обл/край/респ"},
        {"Raion", "Район"},         {"UlDomKv", "улица д.к.кв."},
        {"PochtInd", "Индекс"},     {"FIOKomu", "ФИО"},
        {"DolgnKomu", "Должность"}, {"NazvOrgan", "Название организации"},
        {"GorodKomu", "Город"},     {"OblKomu", "Обл/край/респ"},
        {"RaionKomu", "Район"},     {"UlKvKomu", "улица д.к.кв."},
        {"IndexKomu", "Индекс"},
    };
    for (const auto& [box, text] : boxes) {
        EXPECT_EQ(label(box), QString::fromUtf8(text)) << box;
        EXPECT_TRUE(find<QLineEdit>(box)->text().isEmpty()) << box;
    }

    auto* predPro = find<QCheckBox>("PredPro");
    EXPECT_EQ(predPro->text(), QStringLiteral("Предварительный просмотр"));
    EXPECT_EQ(predPro->toolTip(), QStringLiteral("Включить или Выключить"));
    EXPECT_TRUE(predPro->isChecked());
    // Latin "x" in one caption, Cyrillic "х" in the other.
    EXPECT_EQ(find<TdxfColorButton>("Polovina")->caption(),
              QStringList{QStringLiteral("Конверт 162") + QChar(0x78) + QStringLiteral("227")});
    EXPECT_EQ(find<TdxfColorButton>("Tret")->caption(),
              QStringList{QStringLiteral("Конверт 108") + QChar(0x445) + QStringLiteral("218")});
}

TEST_F(Konverti, EnvelopeFilesHoldThirteenLinesOfTheBoxesAsShown) {
    window.fillSender();
    type("Gorod", QStringLiteral("Корсаков")); // typed over the setting, used as shown
    type("FIOKomu", QStringLiteral("Сидорову С.С."));
    type("DolgnKomu", QStringLiteral("директору"));
    type("NazvOrgan", QStringLiteral("ООО «Ёлка»"));
    type("GorodKomu", QStringLiteral("Холмск"));
    type("OblKomu", QStringLiteral("Сахалинская"));
    type("RaionKomu", QStringLiteral("Холмский"));
    type("UlKvKomu", QStringLiteral("ул. Морская, д. 2"));
    type("IndexKomu", QStringLiteral("694620"));
    find<TdxfColorButton>("Polovina")->click();
    // The sender's district and post are shown but not part of the envelope.
    EXPECT_EQ(readReport("KonA8Dat.txt"),
              crlf(QStringLiteral("|0:Wladelec:Иванов Иван Иванович\n"
                                  "|0:Gorod:Корсаков\n"
                                  "|0:OblKr:Сахалинская\n"
                                  "|0:UlDom:Римского-Корсакого д. 45, кв. 789\n"
                                  "|0:PoIn:353947\n"
                                  "|0:kWladelec:Сидорову С.С.\n"
                                  "|0:kDolgn:директору\n"
                                  "|0:kPredpr:ООО «Ёлка»\n"
                                  "|0:kGorod:Холмск\n"
                                  "|0:kOblKr:Сахалинская\n"
                                  "|0:kRaion:Холмский\n"
                                  "|0:kUlDom:ул. Морская, д. 2\n"
                                  "|0:kPoIn:694620\n")));

    // An empty recipient still gives all thirteen lines; nothing follows the last.
    for (const char* box : {"FIOKomu", "DolgnKomu", "NazvOrgan", "GorodKomu", "OblKomu",
                            "RaionKomu", "UlKvKomu", "IndexKomu"})
        type(box, QString());
    find<TdxfColorButton>("Tret")->click();
    EXPECT_EQ(readReport("KonA9Dat.txt"),
              crlf(QStringLiteral("|0:Wladelec:Иванов Иван Иванович\n"
                                  "|0:Gorod:Корсаков\n"
                                  "|0:OblKr:Сахалинская\n"
                                  "|0:UlDom:Римского-Корсакого д. 45, кв. 789\n"
                                  "|0:PoIn:353947\n"
                                  "|0:kWladelec:\n|0:kDolgn:\n|0:kPredpr:\n|0:kGorod:\n"
                                  "|0:kOblKr:\n|0:kRaion:\n|0:kUlDom:\n|0:kPoIn:\n")));

    EXPECT_EQ(commandLines(), (QStringList{"KonA8Dat.txt KonA8Pic.rtf KonA8Rep.rtf - /m",
                                           "KonA8Dat.txt KonA8Pic.rtf KonA8Rep.rtf",
                                           "KonA9Dat.txt KonA9Pic.rtf KonA9Rep.rtf - /m",
                                           "KonA9Dat.txt KonA9Pic.rtf KonA9Rep.rtf"}));
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(Konverti, ClearingPreviewMakesEveryLaterReportPrintUntilTickedAgain) {
    auto* predPro = find<QCheckBox>("PredPro");
    predPro->click();
    EXPECT_FALSE(predPro->isChecked());
    EXPECT_EQ(launcher.ReportMode(), QStringLiteral("Molcha"));
    window.PolovinaClick();
    N13Click(launcher, TAnketa::zeroed(), QString()); // the card window's full card
    predPro->click();
    EXPECT_EQ(launcher.ReportMode(), QStringLiteral("Prosm"));
    window.TretClick();
    EXPECT_EQ(commandLines(), (QStringList{"KonA8Dat.txt KonA8Pic.rtf KonA8Rep.rtf - /m",
                                           "KonA8Dat.txt KonA8Pic.rtf KonA8Rep.rtf - /p",
                                           "PolnDat.txt PolnPic.rtf PolnRep.rtf - /m",
                                           "PolnDat.txt PolnPic.rtf PolnRep.rtf - /p",
                                           "KonA9Dat.txt KonA9Pic.rtf KonA9Rep.rtf - /m",
                                           "KonA9Dat.txt KonA9Pic.rtf KonA9Rep.rtf"}));
}

TEST_F(Konverti, ReopeningRestoresTheSenderAndKeepsTheRecipient) {
    openAndClose();
    EXPECT_EQ(find<QLineEdit>("Gorod")->text(), settings.Gorod);
    EXPECT_EQ(find<QLineEdit>("Raion")->text(), settings.Raion);
    EXPECT_EQ(find<QLineEdit>("Dolgnost")->text(), settings.Dolgnost);
    type("Gorod", QStringLiteral("Корсаков"));
    type("FIOKomu", QStringLiteral("Сидорову С.С."));
    find<QCheckBox>("PredPro")->click();

    openAndClose();
    EXPECT_EQ(find<QLineEdit>("Gorod")->text(), settings.Gorod);
    EXPECT_EQ(find<QLineEdit>("FIOKomu")->text(), QStringLiteral("Сидорову С.С."));
    EXPECT_FALSE(find<QCheckBox>("PredPro")->isChecked());
    EXPECT_EQ(launcher.ReportMode(), QStringLiteral("Molcha"));
}

TEST_F(Konverti, AnEnvelopeThatCannotBeWrittenStartsNothing) {
    QDir(inst.path("report")).removeRecursively();
    window.PolovinaClick();
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].kind, ShownMessage::Error);
    EXPECT_TRUE(platform.messages[0].text.endsWith(inst.path("report/KonA8Dat.txt")));
    EXPECT_TRUE(platform.shellCalls.isEmpty());
}
