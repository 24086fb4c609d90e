#include "recordingplatform.h"
#include "settings/inifile.h"
#include "settings/options.h"
#include "settings/settings.h"
#include "settings/settingsfile.h"
#include "testsupport.h"
#include "windowplace.h"

#include <QTest>

Q_DECLARE_METATYPE(std::string)

namespace {

QString Text(const std::string& bytes)
{
    return QString::fromStdString(bytes).replace("\r\n", "|");
}

// Screens as the tables write them: "x,y,width,height;…".
std::vector<WindowArea> Areas(const QString& screens)
{
    std::vector<WindowArea> areas;
    for (const QString& screen : screens.split(';', Qt::SkipEmptyParts)) {
        const QStringList v = screen.split(',');
        areas.push_back({v[0].toInt(), v[1].toInt(), v[2].toInt(), v[3].toInt()});
    }
    return areas;
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void iniReads_data()
    {
        QTest::addColumn<std::string>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value"); // "-" for the fallback

        const std::string plain = "[Position]\r\nMainX=10\r\n[Option]\r\nKeySound=1\r\n";
        QTest::newRow("plain") << plain << "Position" << "MainX" << "10";
        QTest::newRow("names ignore case") << plain << "pOSITION" << "mainx" << "10";
        QTest::newRow("key of another section") << plain << "Option" << "MainX" << "-";
        QTest::newRow("missing section") << plain << "Color" << "MainX" << "-";
        QTest::newRow("lf line ends") << std::string("[A]\nk=v\n") << "A" << "k" << "v";
        QTest::newRow("cr line ends") << std::string("[A]\rk=v\r") << "A" << "k" << "v";
        QTest::newRow("lf cr is two line ends") << std::string("[A]\n\rk=v") << "A" << "k" << "v";
        QTest::newRow("0x1a is a byte of the line") << std::string("[A]\r\nk=\x1a\r\nj=v\r\n") << "A" << "j" << "v";
        QTest::newRow("blanks around") << std::string(" [ A ] \r\n  k  =  v w  \r\n") << "A" << "k" << "v w";
        QTest::newRow("empty value") << std::string("[A]\r\nk=\r\n") << "A" << "k" << "";
        QTest::newRow("first key wins") << std::string("[A]\r\nk=1\r\nk=2\r\n") << "A" << "k" << "1";
        QTest::newRow("first section wins") << std::string("[A]\r\nk=1\r\n[A]\r\nk=2\r\n") << "A" << "k" << "1";
        QTest::newRow("key only in second copy") << std::string("[A]\r\n[A]\r\nk=2\r\n") << "A" << "k" << "-";
        QTest::newRow("line without =") << std::string("[A]\r\nk\r\n") << "A" << "k" << "-";
        QTest::newRow("comment") << std::string("[A]\r\n;k=1\r\n") << "A" << ";k" << "-";
        QTest::newRow("before any section") << std::string("k=1\r\n[A]\r\n") << "A" << "k" << "-";
        QTest::newRow("= in value") << std::string("[A]\r\nk=a=b\r\n") << "A" << "k" << "a=b";
        QTest::newRow("empty file") << std::string() << "A" << "k" << "-";
        QTest::newRow("binary") << std::string("\0\xff[A\x1a\r\n=\r\n", 10) << "A" << "k" << "-";
    }
    void iniReads()
    {
        QFETCH(std::string, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const IniFile ini(file);
        QCOMPARE(QString::fromStdString(ini.read(section.toStdString(), key.toStdString(), "-")), value);
    }

    void iniWrites_data()
    {
        QTest::addColumn<std::string>("file");
        QTest::addColumn<QString>("written");

        QTest::newRow("new file") << std::string() << "[Position]|MainX=5|";
        QTest::newRow("replace in place, case kept elsewhere")
            << std::string("; mine\r\n[position]\r\nmainx=1\r\nOther=x\r\n") << "; mine|[position]|MainX=5|Other=x|";
        QTest::newRow("append at end of section")
            << std::string("[Position]\r\nMainY=2\r\n\r\n[Color]\r\nL_Ko=255\r\n")
            << "[Position]|MainY=2|MainX=5||[Color]|L_Ko=255|";
        QTest::newRow("append section at end") << std::string("[Color]\nL_Ko=255\n") << "[Color]|L_Ko=255|[Position]|MainX=5|";
        QTest::newRow("lines after 0x1a are kept")
            << std::string("[Option]\r\n\x1a\r\nmine\rtoo\n") << "[Option]|\x1a|mine|too|[Position]|MainX=5|";
        QTest::newRow("other lines byte for byte")
            << std::string("[Option]\r\n  ShowKeyboard = 0 ; off\r\n\xe3\x81\x82=\xe3\x81\x84\r\n")
            << "[Option]|  ShowKeyboard = 0 ; off|あ=い|[Position]|MainX=5|";
    }
    void iniWrites()
    {
        QFETCH(std::string, file);
        QFETCH(QString, written);
        IniFile ini(file);
        ini.write("Position", "MainX", "5");
        QCOMPARE(Text(ini.bytes()), written);
    }

    void integerSyntax_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");

        QTest::newRow("decimal") << "255" << true << 255;
        QTest::newRow("negative") << "-50" << true << -50;
        QTest::newRow("plus") << "+7" << true << 7;
        QTest::newRow("leading spaces") << "   12" << true << 12;
        QTest::newRow("0x") << "0xFF00" << true << 0xFF00;
        QTest::newRow("0X lower digits") << "0Xff00" << true << 0xFF00;
        QTest::newRow("dollar") << "$FF00" << true << 0xFF00;
        QTest::newRow("x") << "x10" << true << 16;
        QTest::newRow("X") << "X10" << true << 16;
        QTest::newRow("signed dollar") << "-$10" << true << -16;
        QTest::newRow("hex uses all 32 bits") << "$FFFFFFFF" << true << -1;
        QTest::newRow("hex 0x80000000") << "0x80000000" << true << int(0x80000000u);
        QTest::newRow("largest decimal") << "2147483647" << true << 2147483647;
        QTest::newRow("smallest decimal") << "-2147483648" << true << int(-2147483647 - 1);
        QTest::newRow("decimal too large") << "2147483648" << false << 0;
        QTest::newRow("decimal too small") << "-2147483649" << false << 0;
        QTest::newRow("hex too large") << "$100000000" << false << 0;
        QTest::newRow("many digits") << QString(40, '9') << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("blanks only") << "   " << false << 0;
        QTest::newRow("sign only") << "-" << false << 0;
        QTest::newRow("0x alone") << "0x" << false << 0;
        QTest::newRow("dollar alone") << "$" << false << 0;
        QTest::newRow("word") << "red" << false << 0;
        QTest::newRow("trailing junk") << "12a" << false << 0;
        QTest::newRow("trailing blank") << "12 " << false << 0;
        QTest::newRow("hex digit in decimal") << "1F" << false << 0;
        QTest::newRow("spaces before 0x") << " 0x10" << true << 16;
        QTest::newRow("double sign") << "--1" << false << 0;
    }
    void integerSyntax()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        const auto parsed = ParseProfileInteger(text.toStdString());
        QCOMPARE(parsed.has_value(), valid);
        if (valid)
            QCOMPARE(*parsed, value);
    }

    void defaultsFollowTheScreen()
    {
        ReadSettings(IniFile(), 1920, 1080);
        QCOMPARE(MainX, 640);
        QCOMPARE(MainY, 304);
        QCOMPARE(KeyboardX, 830);
        QCOMPARE(KeyboardY, 624);
        QCOMPARE(FingerColours, DefaultFingerColours);
        QVERIFY(ShowKeyboard);
        QVERIFY(!KeySound);
        QVERIFY(!FlexibleRomaji);
        QCOMPARE(CurrentChoice(), DefaultChoice());
        for (const OptionRow& row : OptionRows)
            QCOMPARE(*row.value, row.byDefault);
        QCOMPARE(KeyboardWidth, 251);
        for (int level = 1; level <= 3; ++level)
            for (int mode = 1; mode <= 5; ++mode)
                QCOMPARE(HighScoreTable.at(level, mode), 0);
        // Division truncates toward zero on odd and tiny screens.
        ReadSettings(IniFile(), 1, 3);
        QCOMPARE(MainX, -320);
        QCOMPARE(MainY, -235);
        QCOMPARE(KeyboardY, 85);
    }

    void valuesFromTheFile()
    {
        ReadSettings(IniFile("[Position]\r\nMainX=-50\r\nMainY=100\r\nKeyboardWidth=100000\r\n"
                             "[Color]\r\nL_Ko=$FF00\r\nL_Ku=green\r\nR_Ko=0x0000FF\r\n"
                             "[Option]\r\nShowKeyboard=0\r\nKeySound=2\r\nflexibleromaji=1\r\nShowReading=1\r\n"
                             "EscapeEnds=x\r\nLastMode=5\r\nLastLevel=4\r\n"
                             "[level2]\r\nmode5=886\r\nMode1=-3\r\n[Level3]\r\nMode2=x\r\n"),
                     1920, 1080);
        QCOMPARE(MainX, -50);
        QCOMPARE(MainY, 100);
        QCOMPARE(KeyboardX, 830);
        QCOMPARE(KeyboardY, 420); // the stored top, not the screen's
        QCOMPARE(FingerColours[0], Colour(0xFF00));
        QCOMPARE(FingerColours[1], DefaultFingerColours[1]);
        QCOMPARE(FingerColours[8], Colour(255));
        QVERIFY(!ShowKeyboard);
        QVERIFY(KeySound);
        QVERIFY(FlexibleRomaji);
        QVERIFY(ShowReading);
        QVERIFY(!EscapeEnds);
        QCOMPARE(RememberedMode, 5);
        QCOMPARE(RememberedLevel, 1); // no such level
        QCOMPARE(KeyboardWidth, 251 * 6); // at most six times the drawn size
        QCOMPARE(HighScoreTable.at(2, 5), 886);
        QCOMPARE(HighScoreTable.at(2, 1), -3);
        QCOMPARE(HighScoreTable.at(3, 2), 0);

        ReadSettings(IniFile("[Option]\r\nKeySound=\r\nShowKeyboard=\r\n"), 800, 600);
        QVERIFY(!KeySound);
        QVERIFY(ShowKeyboard);

        // The keyboard's top wraps as 32-bit arithmetic does.
        ReadSettings(IniFile("[Position]\r\nMainY=2147483647\r\n"), 800, 600);
        QCOMPARE(KeyboardY, -2147483647 + 318);
    }

    // A window of the drill's size, stored at a place, on these screens'
    // available areas ("x,y,w,h" each); "-" where the default place shows.
    void placesOnTheScreens_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<QString>("screens");
        QTest::addColumn<QString>("shown");

        const QString hd = "0,0,1920,1080";
        QTest::newRow("on the screen") << 100 << 100 << hd << "100,100";
        QTest::newRow("partly off the left edge") << -50 << 7 << hd << "-50,7";
        QTest::newRow("beyond the right edge") << 1920 << 100 << hd << "-";
        QTest::newRow("half off the bottom") << 100 << 1080 - 147 << hd << "100,933";
        QTest::newRow("mostly off the bottom") << 100 << 1080 - 146 << hd << "-";
        QTest::newRow("saved on a larger screen") << 2500 << 1300 << hd << "-";
        QTest::newRow("saved without QT_SCALE_FACTOR=2") << 640 << 304 << "0,0,960,540" << "-";
        QTest::newRow("on the second screen") << 2000 << 100 << hd + ";1920,0,1280,1024" << "2000,100";
        QTest::newRow("across two screens") << 1920 - 400 << 100 << hd + ";1920,0,1280,1024" << "1520,100";
        QTest::newRow("below the shorter of two screens") << 2000 << 900 << hd + ";1920,0,1280,720" << "-";
        QTest::newRow("mirrored screens count once") << 100 << 1080 - 100 << hd + ";" + hd << "-";
        QTest::newRow("largest values") << 2147483647 << 2147483647 << hd << "-";
        QTest::newRow("smallest values") << -2147483647 - 1 << -2147483647 - 1 << hd << "-";
        QTest::newRow("no screens known") << 5000 << 5000 << "" << "5000,5000";
    }
    void placesOnTheScreens()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(QString, screens);
        QFETCH(QString, shown);
        const std::vector<WindowArea> areas = Areas(screens);
        const WindowPoint stored {x, y};
        const WindowPoint fallback {640, 304};
        const WindowPoint place = PlaceOnScreens(stored, 631, 293, areas, fallback);
        QCOMPARE(QString("%1,%2").arg(place.x).arg(place.y), shown == "-" ? QString("640,304") : shown);
        // Written back as stored unless moved; a moved window writes where it is.
        QCOMPARE(PlaceToWrite(stored, place, place), stored);
        QCOMPARE(PlaceToWrite(stored, place, WindowPoint {place.x + 1, place.y}), (WindowPoint {place.x + 1, place.y}));
    }

    // A window grown below (the title window's rows) moves up just so far
    // that it shows whole.
    void grownWindowStaysInView_data()
    {
        QTest::addColumn<QString>("at");
        QTest::addColumn<QString>("screens"); // x,y,width,height;…
        QTest::addColumn<QString>("kept");
        const QString small = "0,0,640,400"; // 1280 × 800 at a scale factor of 2
        QTest::newRow("fits") << "69,20" << small << "69,20";
        QTest::newRow("reaches past the bottom") << "69,54" << "0,0,640,400;640,0,640,400" << "69,26";
        QTest::newRow("taller than the screen: its top shows") << "69,54" << "0,0,640,300" << "69,0";
        QTest::newRow("past the right of the second screen") << "1000,100" << "0,0,640,400;640,0,640,400" << "778,26";
        QTest::newRow("below every screen: the first") << "69,900" << small << "69,26";
        QTest::newRow("largest values") << "2147483647,2147483647" << small << "138,26";
        QTest::newRow("no screens known") << "5000,5000" << "" << "5000,5000";
    }
    void grownWindowStaysInView()
    {
        QFETCH(QString, at);
        QFETCH(QString, screens);
        QFETCH(QString, kept);
        const std::vector<WindowArea> areas = Areas(screens);
        const WindowPoint place = KeptOnScreen({at.section(',', 0, 0).toInt(), at.section(',', 1).toInt()}, 502, 374, areas);
        QCOMPARE(QString("%1,%2").arg(place.x).arg(place.y), kept);
    }

    // The settings window's choice written into a file: only what differs
    // from what the file reads, each user's line kept as it is.
    void choiceIsStored_data()
    {
        QTest::addColumn<std::string>("file");
        QTest::addColumn<QString>("change"); // recommended, defaults, or finger=colour
        QTest::addColumn<QString>("written");

        const std::string mine = "[Color]\r\n; mine\r\nL_Ko=$FF00\r\n[Option]\r\nKeySound = 1 \r\n";
        QTest::newRow("no change writes nothing") << mine << "" << Text(mine);
        QTest::newRow("recommended adds what it turns on")
            << mine << "recommended"
            << "[Color]|; mine|L_Ko=$FF00|[Option]|KeySound = 1 |ShowShift=1|Hepburn=1|KanaLabels=1|ShowReading=1|"
               "ShowProgress=1|EscapeEnds=1|RememberChoice=1|ResizableKeyboard=1|Records=1|Lessons=1|"
               "[Position]|KeyboardWidth=377|";
        QTest::newRow("recommended keeps a wider keyboard")
            << std::string("[Position]\r\nKeyboardWidth=600\r\n[Option]\r\nFlexibleRomaji=1\r\n") << "recommended"
            << "[Position]|KeyboardWidth=600|[Option]|FlexibleRomaji=1|ShowShift=1|KeySound=1|Hepburn=1|KanaLabels=1|"
               "ShowReading=1|ShowProgress=1|EscapeEnds=1|RememberChoice=1|ResizableKeyboard=1|Records=1|Lessons=1|";
        QTest::newRow("defaults take back the keyboard's width")
            << std::string("[Position]\r\nKeyboardWidth=600\r\n") << "defaults" << "[Position]|KeyboardWidth=251|";
        QTest::newRow("defaults take back the user's values")
            << mine << "defaults" << "[Color]|; mine|L_Ko=255|[Option]|KeySound=0|";
        QTest::newRow("a picked colour in decimal") << std::string() << "3=16711680" << "[Color]|L_Hi=16711680|";
        QTest::newRow("keyboard off in a new file")
            << std::string("[Level1]\r\nMode1=5\r\n") << "off" << "[Level1]|Mode1=5|[Option]|ShowKeyboard=0|";
    }
    void choiceIsStored()
    {
        QFETCH(std::string, file);
        QFETCH(QString, change);
        QFETCH(QString, written);
        IniFile ini(file);
        SettingsChoice choice = ReadChoice(ini);
        if (change == "recommended")
            choice = RecommendedChoice(choice);
        else if (change == "defaults")
            choice = DefaultChoice();
        else if (change == "off")
            choice.options[0] = false;
        else if (change.contains('='))
            choice.colours[change.section('=', 0, 0).toUInt()] = change.section('=', 1).toUInt();
        StoreChoice(ini, choice);
        QCOMPARE(Text(ini.bytes()), written);
        QCOMPARE(ReadChoice(IniFile(ini.bytes())), choice);
    }

    void firstSaveWritesItsKeysInOrder()
    {
        HighScores scores;
        scores.at(1, 1) = 200;
        scores.at(3, 5) = 886;
        IniFile ini;
        StoreSettings(ini, {-50, 2, 3, 4}, scores);
        QString expected = "[Position]|MainX=-50|MainY=2|KeyboardX=3|KeyboardY=4|";
        for (int level = 1; level <= 3; ++level) {
            expected += QString("[Level%1]|").arg(level);
            for (int mode = 1; mode <= 5; ++mode)
                expected += QString("Mode%1=%2|").arg(mode).arg(scores.at(level, mode));
        }
        QCOMPARE(Text(ini.bytes()), expected);
    }

    void saveKeepsTheUsersLines()
    {
        RecordingPlatform platform;
        ScratchDir dir;
        AppDir = UserDir = dir.path();
        const std::string mine = "[Color]\r\nL_Ko=$FF00\r\n[Option]\r\nShowKeyboard=0\r\n[Position]\r\nMainX=1\r\n";
        dir.write("kidrill.ini", mine);
        QVERIFY(SaveSettingsFile({7, 8, 9, 10}, HighScores {}));
        const std::string saved = dir.read("kidrill.ini");
        QVERIFY(saved.starts_with("[Color]\r\nL_Ko=$FF00\r\n[Option]\r\nShowKeyboard=0\r\n[Position]\r\nMainX=7\r\nMainY=8\r\n"));
        QVERIFY(platform.errors.empty());
        // What was saved reads back.
        ReadSettings(IniFile(saved), 100, 100);
        QCOMPARE(MainX, 7);
        QCOMPARE(KeyboardY, 10);
        QVERIFY(!ShowKeyboard);
    }

    void refusedSaveReportsAndChangesNothing()
    {
        RecordingPlatform platform;
        ScratchDir dir;
        dir.write("gone", ""); // a file where the directory would be made
        AppDir = UserDir = dir.path() + "gone/";
        QVERIFY(!SaveSettingsFile({1, 2, 3, 4}, HighScores {}));
        QCOMPARE(platform.errors.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(platform.errors[0].text), QString::fromStdString(AppDir + "kidrill.ini に書き込めません"));

        // A settings file that cannot be read is not replaced.
        AppDir = UserDir = dir.path();
        QVERIFY(QDir(QString::fromStdString(dir.path())).mkdir("kidrill.ini"));
        QVERIFY(!SaveSettingsFile({1, 2, 3, 4}, HighScores {}));
        QCOMPARE(platform.errors.size(), std::size_t(2));
        QVERIFY(QFileInfo(QString::fromStdString(dir.file("kidrill.ini"))).isDir());
    }
};

QTEST_APPLESS_MAIN(TestSettings)
#include "test_settings.moc"
