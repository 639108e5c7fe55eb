// Scripting.Dictionary, VBScript.RegExp and the FileSystemObject subset (on a temporary
// folder).

#include "scriptrun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestVbsObjects : public QObject
{
    Q_OBJECT

private slots:
    void dictionary_data()
    {
        const QString mk = QStringLiteral("Set d = CreateObject(\"Scripting.Dictionary\")\n");
        scriptTable({
            {"add, item, count",
             {mk + "d.Add \"a\", 1: d.Add \"b\", 2: d(\"c\") = 3\n"
                   "WScript.Echo d.Count, d(\"b\"), d.Item(\"c\"), TypeName(d)",
              "3 2 3 Dictionary"}},
            {"exists and remove",
             {mk + "d.Add \"a\", 1: d.Add \"b\", 2: d.Remove \"a\"\n"
                   "WScript.Echo d.Exists(\"a\"), d.Exists(\"b\"), d.Count",
              "False True 1"}},
            {"keys and items keep order",
             {mk + "d(\"z\") = 1: d(\"a\") = 2: d(\"m\") = 3: d.Remove \"a\": d(\"q\") = 4\n"
                   "WScript.Echo Join(d.Keys, \",\"), Join(d.Items, \",\")",
              "z,m,q 1,3,4"}},
            {"for each gives keys",
             {mk + "d.Add 1, \"one\": d.Add 2, \"two\"\n"
                   "For Each k In d: s = s & k & \"=\" & d(k) & \" \": Next: WScript.Echo s",
              "1=one 2=two "}},
            {"keys keep their type",
             {mk + "d.Add 1, \"n\": d.Add \"1\", \"s\"\nWScript.Echo d.Count, d(1), d(\"1\"), "
                   "d.Exists(1.0)",
              "2 n s True"}},
            {"reading a missing key adds it",
             {mk + "x = d(\"nope\"): WScript.Echo IsEmpty(x), d.Count", "True 1"}},
            {"text compare mode",
             {mk + "d.CompareMode = vbTextCompare: d.Add \"Key\", 1\n"
                   "WScript.Echo d.Exists(\"KEY\"), d(\"key\")",
              "True 1"}},
            {"rename a key",
             {mk + "d.Add \"old\", 5: d.Key(\"old\") = \"new\"\nWScript.Echo d.Exists(\"old\"), "
                   "d(\"new\")",
              "False 5"}},
            {"objects as values",
             {mk + "Set d(\"r\") = New RegExp: d(\"r\").Pattern = \"x\"\n"
                   "WScript.Echo TypeName(d(\"r\")), d(\"r\").Pattern",
              "IRegExp2 x"}},
            {"remove all",
             {mk + "d.Add 1, 1: d.RemoveAll: WScript.Echo d.Count, UBound(d.Keys)", "0 -1"}},
            {"empty, null, zero and the empty string are four keys",
             {mk + "d.Add Empty, \"e\": d.Add Null, \"z\": d.Add 0, \"n\": d.Add \"\", \"s\"\n"
                   "WScript.Echo d.Count, d(Empty), d(Null), d(CDbl(0) * -1), d(\"\"), d(CByte(0))",
              "4 e z n s n"}},
            {"objects are keys by identity",
             {mk + "Set a = New RegExp: Set b = New RegExp: d.Add a, 1: d.Add b, 2\n"
                   "WScript.Echo d(a), d(b), d.Exists(New RegExp), d.Exists(Nothing)",
              "1 2 False False"}},
            {"text compare mode beyond ASCII",
             {mk + "d.CompareMode = vbTextCompare: d.Add \"\u00c4pfel\", 1\n"
                   "WScript.Echo d.Exists(\"\u00e4PFEL\"), d.Exists(\"apfel\"), d.Count",
              "True False 1"}},
            {"removed keys come back and renamed keys are found",
             {mk + "For i = 1 To 100: d.Add i, i: Next\n"
                   "For i = 1 To 99 Step 2: d.Remove i: Next\n"
                   "For i = 1 To 99 Step 2: d.Add i, -i: Next\n"
                   "d.Key(2) = \"two\": d.Key(\"two\") = \"Two\"\n"
                   "WScript.Echo d.Count, d(3), d(\"Two\"), d.Exists(2), d.Exists(\"two\")",
              "100 -3 2 False False"}},
            {"many entries",
             {mk + "For i = 1 To 20000: d.Add \"k\" & i, i: Next\n"
                   "For i = 1 To 19990: d.Remove \"k\" & i: Next\n"
                   "WScript.Echo d.Count, d(\"k20000\"), d.Keys()(0)",
              "10 20000 k19991"}},
        });
    }
    void dictionary()
    {
        QFETCH(QString, code);
        QFETCH(QString, expected);
        ScriptRun s;
        QCOMPARE(s.run(code), expected);
    }

    void regexp_data()
    {
        const QString mk = QStringLiteral("Set re = New RegExp\n");
        scriptTable({
            {"test",
             {mk + "re.Pattern = \"^\\d+$\": WScript.Echo re.Test(\"123\"), re.Test(\"12a\")",
              "True False"}},
            {"execute with submatches",
             {mk + "re.Pattern = \"(\\w+)@(\\w+)\\.com\": re.Global = True\n"
                   "Set ms = re.Execute(\"a@b.com, c@d.com\")\nWScript.Echo ms.Count\n"
                   "For Each m In ms: WScript.Echo m.Value, m.FirstIndex, m.Length, "
                   "m.SubMatches(0), "
                   "m.SubMatches.Item(1), m.SubMatches.Count: Next",
              "2|a@b.com 0 7 a b 2|c@d.com 9 7 c d 2"}},
            {"not global finds one",
             {mk + "re.Pattern = \"o\": WScript.Echo re.Execute(\"foo\").Count, "
                   "re.Replace(\"foo\", \"0\")",
              "1 f0o"}},
            {"global replace with groups",
             {mk + "re.Pattern = \"(\\d+)-(\\d+)\": re.Global = True\n"
                   "WScript.Echo re.Replace(\"1-2 and 3-4\", \"$2-$1\"), "
                   "re.Replace(\"1-2\", \"[$&]\")",
              "2-1 and 4-3 [1-2]"}},
            {"ignore case",
             {mk + "re.Pattern = \"abc\": re.IgnoreCase = True: WScript.Echo re.Test(\"xABCx\")",
              "True"}},
            {"multiline",
             {mk + "re.Pattern = \"^b\": re.Global = True\nWScript.Echo re.Execute(\"a\" & vbLf & "
                   "\"b\").Count\n"
                   "re.Multiline = True\nWScript.Echo re.Execute(\"a\" & vbLf & \"b\").Count",
              "0|1"}},
            {"match default value",
             {mk + "re.Pattern = \"\\d\": Set m = re.Execute(\"a7\")(0): WScript.Echo \"<\" & m & "
                   "\">\"",
              "<7>"}},
            {"empty matches advance",
             {mk + "re.Pattern = \"x*\": re.Global = True\n"
                   "WScript.Echo re.Replace(\"abc\", \"-\")",
              "-a-b-c-"}},
            {"created by CreateObject",
             {"Set re = CreateObject(\"VBScript.RegExp\"): re.Pattern = \"a\"\n"
              "WScript.Echo re.Test(\"cat\")",
              "True"}},
            {"invalid pattern",
             {mk + "re.Pattern = \"(\": WScript.Echo re.Test(\"x\")", "error 5017"}},
        });
    }
    void regexp()
    {
        QFETCH(QString, code);
        QFETCH(QString, expected);
        ScriptRun s;
        QCOMPARE(s.run(code), expected);
    }

    void fileSystem()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        ScriptRun s;
        const QString code =
            QStringLiteral(
                "base = \"%1\"\n"
                "Set fso = CreateObject(\"Scripting.FileSystemObject\")\n"
                "p = fso.BuildPath(base, \"notes.txt\")\n"
                "Set f = fso.CreateTextFile(p, True)\n"
                "f.WriteLine \"first\": f.Write \"sec\": f.WriteLine \"ond\": f.WriteBlankLines 1: "
                "f.Write \"last\"\n"
                "f.Close\n"
                "WScript.Echo fso.FileExists(p), fso.FolderExists(base), fso.FileExists(base)\n"
                "Set f = fso.OpenTextFile(p)\n"
                "Do Until f.AtEndOfStream\n n = n + 1: WScript.Echo n & \":\" & f.ReadLine\nLoop\n"
                "f.Close\n"
                "Set f = fso.OpenTextFile(p, 8)\nf.WriteLine \"+more\"\nf.Close\n"
                "Set f = fso.OpenTextFile(p, 1)\nall = f.ReadAll\nf.Close\n"
                "WScript.Echo Len(all), Right(all, 6) = \"more\" & vbCrLf\n"
                "WScript.Echo fso.GetFileName(p), fso.GetBaseName(p), fso.GetExtensionName(p), "
                "fso.GetParentFolderName(p) = base\n"
                "fso.CreateFolder fso.BuildPath(base, \"sub\")\n"
                "fso.CopyFile p, fso.BuildPath(base, \"sub/copy.txt\")\n"
                "fso.MoveFile p, fso.BuildPath(base, \"moved.txt\")\n"
                "Set folder = fso.GetFolder(base)\n"
                "WScript.Echo folder.Files.Count, folder.SubFolders.Count\n"
                "For Each file In folder.Files: WScript.Echo file.Name, file.Size: Next\n"
                "For Each sf In folder.SubFolders: WScript.Echo sf.Name, sf.Files.Count: Next\n"
                "WScript.Echo fso.GetFile(fso.BuildPath(base, \"moved.txt\")).Name\n"
                "fso.DeleteFile fso.BuildPath(base, \"moved.txt\")\n"
                "WScript.Echo fso.FileExists(fso.BuildPath(base, \"moved.txt\"))\n")
                .arg(dir.path());
        QCOMPARE(s.run(code), QStringLiteral("True True False|1:first|2:second|3:|4:last|"
                                             "28 True|notes.txt notes txt True|1 1|moved.txt 28|"
                                             "sub 1|moved.txt|False"));
        QVERIFY(QFile::exists(dir.filePath("sub/copy.txt")));
    }

    void fileSystemErrors_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("number");
        QTest::newRow("open a missing file") << "fso.OpenTextFile(base & \"/none.txt\")" << 53;
        QTest::newRow("missing folder") << "fso.OpenTextFile(base & \"/no/x.txt\")" << 76;
        QTest::newRow("read past the end")
            << "Set f = fso.CreateTextFile(base & \"/e.txt\"): f.Close\n"
               "Set f = fso.OpenTextFile(base & \"/e.txt\"): f.ReadLine"
            << 62;
        QTest::newRow("no overwrite") << "fso.CreateTextFile(base & \"/a.txt\").Close\n"
                                         "fso.CreateTextFile base & \"/a.txt\", False"
                                      << 58;
        QTest::newRow("write to a reading stream")
            << "fso.CreateTextFile(base & \"/r.txt\").Close\n"
               "fso.OpenTextFile(base & \"/r.txt\").Write \"x\""
            << 54;
        QTest::newRow("get a missing folder") << "fso.GetFolder(base & \"/none\")" << 76;
    }

    void fileSystemErrors()
    {
        QFETCH(QString, code);
        QFETCH(int, number);
        QTemporaryDir dir;
        ScriptRun s;
        const QString prefix =
            QStringLiteral(
                "base = \"%1\"\nSet fso = CreateObject(\"Scripting.FileSystemObject\")\n")
                .arg(dir.path());
        QVERIFY(!s.engine.addCode(prefix + code));
        QCOMPARE(s.engine.error().number, number);
    }

    void unicodeTextFile()
    {
        QTemporaryDir dir;
        ScriptRun s;
        QCOMPARE(s.run(QStringLiteral("Set fso = CreateObject(\"Scripting.FileSystemObject\")\n"
                                      "Set f = fso.CreateTextFile(\"%1/u.txt\", True, True)\n"
                                      "f.Write \"ä€\": f.Close\n"
                                      "WScript.Echo fso.OpenTextFile(\"%1/u.txt\").ReadAll")
                           .arg(dir.path())),
                 QStringLiteral("ä€"));
        QFile f(dir.filePath("u.txt"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("\xFF\xFE\xE4\x00\xAC\x20", 6));
    }
};

QTEST_GUILESS_MAIN(TestVbsObjects)
#include "tst_vbs_objects.moc"
