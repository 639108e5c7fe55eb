// Host dialogs, objects, dynamic code, Err, and the registry of built-ins and constants.

#include "builtins.h"
#include "convert.h"
#include "objects.h"

#include "run/scriptengine.h"

namespace quillora::vbs {

namespace {

Value fMsgBox(Args &a)
{
    const QString prompt = a.str(0);
    const int buttons = a.has(1) ? a.lng(1) : 0;
    const QString title = a.has(2) ? a.str(2) : QStringLiteral("VBScript");
    if (!a.in.host)
        return Value::integer(1);
    return Value::integer(a.in.host->messageBox(prompt, buttons, title));
}

Value fInputBox(Args &a)
{
    const QString prompt = a.str(0);
    const QString title = a.has(1) ? a.str(1) : QString();
    const QString def = a.has(2) ? a.str(2) : QString();
    if (!a.in.host)
        return Value::str(def);
    bool cancelled = false;
    QString text = a.in.host->inputBox(prompt, title, def, &cancelled);
    return cancelled ? Value() : Value::str(text);
}

Value fCreateObject(Args &a)
{
    return Value::object(a.in.createObject(a.str(0)));
}

} // namespace

uint8_t builtinUse(const QString &lowerName)
{
    static const QStringList conversions = {
        QStringLiteral("cbyte"), QStringLiteral("ccur"), QStringLiteral("cdate"),
        QStringLiteral("cdbl"),  QStringLiteral("cint"), QStringLiteral("clng"),
        QStringLiteral("csng")};
    if (lowerName == u"randomize")
        return NoValueBuiltin;
    return conversions.contains(lowerName) ? ConversionBuiltin : PlainBuiltin;
}

namespace {

Value fEval(Args &a)
{
    return a.in.evalText(a.str(0));
}

Value fGetRef(Args &a)
{
    return a.in.procedureRef(a.str(0));
}

Value fExecute(Args &a)
{
    a.in.execute(a.str(0), false);
    return Value();
}

Value fExecuteGlobal(Args &a)
{
    a.in.execute(a.str(0), true);
    return Value();
}

Value fErr(Args &a)
{
    return a.in.errObject();
}

Value fScriptEngine(Args &)
{
    return Value::str(QStringLiteral("VBScript"));
}
Value fMajor(Args &)
{
    return Value::lng(5);
}
Value fMinor(Args &)
{
    return Value::lng(8);
}
Value fBuild(Args &)
{
    return Value::lng(16384);
}
Value fGetLocale(Args &)
{
    return Value::lng(localeIsUs() ? 1033 : 0);
}
Value fSetLocale(Args &a)
{
    return fGetLocale(a);
}

} // namespace

Object *Interp::createObject(const QString &progId)
{
    if (!limits.allowFileSystem && progId.trimmed().toLower() == u"scripting.filesystemobject")
        throwError(err::CannotCreateObject);
    Object *o = createObjectByProgId(progId);
    if (!o)
        throwError(err::CannotCreateObject);
    return o;
}

void addMiscBuiltins(std::vector<Builtin> &out)
{
    out.insert(out.end(), {
                              {"msgbox", 1, 5, fMsgBox},
                              {"inputbox", 1, 7, fInputBox},
                              {"createobject", 1, 2, fCreateObject},
                              {"eval", 1, 1, fEval},
                              {"getref", 1, 1, fGetRef},
                              {"execute", 1, 1, fExecute},
                              {"executeglobal", 1, 1, fExecuteGlobal},
                              {"err", 0, 0, fErr},
                              {"scriptengine", 0, 0, fScriptEngine},
                              {"scriptenginemajorversion", 0, 0, fMajor},
                              {"scriptengineminorversion", 0, 0, fMinor},
                              {"scriptenginebuildversion", 0, 0, fBuild},
                              {"getlocale", 0, 0, fGetLocale},
                              {"setlocale", 0, 1, fSetLocale},
                          });
}

const Builtin *findBuiltin(const QString &lowerName)
{
    static const std::vector<Builtin> all = [] {
        std::vector<Builtin> v;
        addStringBuiltins(v);
        addNumberBuiltins(v);
        addDateBuiltins(v);
        addMiscBuiltins(v);
        return v;
    }();
    static const QHash<QString, const Builtin *> index = [] {
        QHash<QString, const Builtin *> h;
        for (const Builtin &b : all)
            h.insert(QString::fromLatin1(b.name), &b);
        return h;
    }();
    return index.value(lowerName);
}

bool findConstant(const QString &lowerName, Value *out)
{
    // Values are not shared between threads (their counts are plain), so the table keeps
    // plain data and every lookup makes a fresh Value.
    struct Constant
    {
        enum
        {
            Integer,
            Long,
            String
        } kind;
        int number;
        QString text;
    };
    static const QHash<QString, Constant> constants = [] {
        QHash<QString, Constant> h;
        auto i = [&h](const char *n, int v) {
            h.insert(QString::fromLatin1(n), Constant{Constant::Integer, v, QString()});
        };
        auto l = [&h](const char *n, int v) {
            h.insert(QString::fromLatin1(n), Constant{Constant::Long, v, QString()});
        };
        auto s = [&h](const char *n, const QString &v) {
            h.insert(QString::fromLatin1(n), Constant{Constant::String, 0, v});
        };
        s("vbcrlf", QStringLiteral("\r\n"));
        s("vbnewline", QStringLiteral("\r\n"));
        s("vbcr", QStringLiteral("\r"));
        s("vblf", QStringLiteral("\n"));
        s("vbtab", QStringLiteral("\t"));
        s("vbnullstring", QString());
        s("vbnullchar", QString(QChar(0)));
        s("vbback", QStringLiteral("\b"));
        s("vbformfeed", QStringLiteral("\f"));
        s("vbverticaltab", QStringLiteral("\v"));
        l("vbobjecterror", int(0x80040000));
        i("vbbinarycompare", 0);
        i("vbtextcompare", 1);
        i("vbdatabasecompare", 2);
        i("vbusesystemdayofweek", 0);
        i("vbsunday", 1);
        i("vbmonday", 2);
        i("vbtuesday", 3);
        i("vbwednesday", 4);
        i("vbthursday", 5);
        i("vbfriday", 6);
        i("vbsaturday", 7);
        i("vbusesystem", 0);
        i("vbfirstjan1", 1);
        i("vbfirstfourdays", 2);
        i("vbfirstfullweek", 3);
        i("vbgeneraldate", 0);
        i("vblongdate", 1);
        i("vbshortdate", 2);
        i("vblongtime", 3);
        i("vbshorttime", 4);
        i("vbtrue", -1);
        i("vbfalse", 0);
        i("vbusedefault", -2);
        i("vbempty", 0);
        i("vbnull", 1);
        i("vbinteger", 2);
        i("vblong", 3);
        i("vbsingle", 4);
        i("vbdouble", 5);
        i("vbcurrency", 6);
        i("vbdate", 7);
        i("vbstring", 8);
        i("vbobject", 9);
        i("vberror", 10);
        i("vbboolean", 11);
        i("vbvariant", 12);
        i("vbdataobject", 13);
        i("vbdecimal", 14);
        i("vbbyte", 17);
        i("vbarray", 8192);
        i("vbokonly", 0);
        i("vbokcancel", 1);
        i("vbabortretryignore", 2);
        i("vbyesnocancel", 3);
        i("vbyesno", 4);
        i("vbretrycancel", 5);
        i("vbcritical", 16);
        i("vbquestion", 32);
        i("vbexclamation", 48);
        i("vbinformation", 64);
        i("vbdefaultbutton1", 0);
        i("vbdefaultbutton2", 256);
        i("vbdefaultbutton3", 512);
        i("vbdefaultbutton4", 768);
        i("vbapplicationmodal", 0);
        i("vbsystemmodal", 4096);
        l("vbmsgboxhelpbutton", 16384);
        i("vbmsgboxsetforeground", 65536);
        i("vbmsgboxright", 524288);
        i("vbmsgboxrtlreading", 1048576);
        i("vbok", 1);
        i("vbcancel", 2);
        i("vbabort", 3);
        i("vbretry", 4);
        i("vbignore", 5);
        i("vbyes", 6);
        i("vbno", 7);
        l("vbblack", 0);
        l("vbred", 0xFF);
        l("vbgreen", 0xFF00);
        l("vbyellow", 0xFFFF);
        l("vbblue", 0xFF0000);
        l("vbmagenta", 0xFF00FF);
        l("vbcyan", 0xFFFF00);
        l("vbwhite", 0xFFFFFF);
        return h;
    }();
    auto it = constants.constFind(lowerName);
    if (it == constants.constEnd())
        return false;
    const Constant &c = it.value();
    *out = c.kind == Constant::String ? Value::str(c.text)
           : c.kind == Constant::Long ? Value::lng(c.number)
                                      : Value::fromInt64(c.number);
    return true;
}

} // namespace quillora::vbs
