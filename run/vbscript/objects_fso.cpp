// The Scripting.FileSystemObject subset for text files and folders: the FileSystemObject,
// TextStream, File, Folder and the Files / SubFolders collections.

#include "convert.h"
#include "interp.h"
#include "objects.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace quillora::vbs {

namespace {

QString argStr(Interp &in, Value *args, int argc, int i)
{
    if (i >= argc)
        throwError(err::WrongArgCount);
    return toStr(in.scalar(args[i]));
}

bool argBool(Interp &in, Value *args, int argc, int i, bool def)
{
    return hasArg(args, argc, i) ? toBool(in.scalar(args[i])) : def;
}

void readOnly(Access access)
{
    if (access == Access::Let || access == Access::Set)
        throwError(err::IllegalAssignment);
}

QString decodeText(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE).decode(bytes.mid(2));
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16BE).decode(bytes.mid(2));
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString s = utf8.decode(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    return s;
}

class TextStream : public NativeObject
{
public:
    enum
    {
        ReadLine,
        ReadAll,
        Read,
        Write,
        WriteLine,
        WriteBlankLines,
        AtEndOfStream,
        AtEndOfLine,
        Close,
        SkipLine,
        Line,
        Column
    };
    const QHash<QString, int> &members() const override
    {
        static const auto m =
            memberTable({"readline", "readall", "read", "write", "writeline", "writeblanklines",
                         "atendofstream", "atendofline", "close", "skipline", "line", "column"});
        return m;
    }
    QString typeName() const override { return QStringLiteral("TextStream"); }

    bool writing = false;
    bool unicode = false;
    QString text; // reading: the whole file
    qsizetype pos = 0;
    int line = 1;
    QFile file; // writing

    Value invoke(Interp &in, int member, Access access, Value *args, int argc,
                 const Value *) override
    {
        readOnly(access);
        switch (member) {
        case ReadLine:
        case SkipLine: {
            needRead();
            if (pos >= text.size())
                throwError(err::InputPastEnd);
            qsizetype e = pos;
            while (e < text.size() && text[e] != u'\n' && text[e] != u'\r')
                ++e;
            QString l = text.mid(pos, e - pos);
            if (e < text.size() && text[e] == u'\r' && e + 1 < text.size() && text[e + 1] == u'\n')
                ++e;
            pos = e + 1;
            ++line;
            return member == ReadLine ? Value::str(l) : Value();
        }
        case ReadAll: {
            needRead();
            if (pos >= text.size())
                throwError(err::InputPastEnd);
            QString rest = text.mid(pos);
            pos = text.size();
            return Value::str(rest);
        }
        case Read: {
            needRead();
            const int n = toLong(in.scalar(args[0]));
            if (n < 0)
                throwError(err::InvalidCall);
            if (pos >= text.size())
                throwError(err::InputPastEnd);
            QString r = text.mid(pos, n);
            pos += r.size();
            return Value::str(r);
        }
        case Write:
            checkArgs(argc, 1, 1);
            put(toStr(in.scalar(args[0])));
            return Value();
        case WriteLine:
            checkArgs(argc, 0, 1);
            put((argc ? toStr(in.scalar(args[0])) : QString()) + QStringLiteral("\r\n"));
            return Value();
        case WriteBlankLines: {
            checkArgs(argc, 1, 1);
            const int n = toLong(in.scalar(args[0]));
            if (n < 0 || n > 1000000)
                throwError(err::InvalidCall);
            put(QStringLiteral("\r\n").repeated(n));
            return Value();
        }
        case AtEndOfStream:
            needRead();
            return Value::boolean(pos >= text.size());
        case AtEndOfLine:
            needRead();
            return Value::boolean(pos >= text.size() || text[pos] == u'\r' || text[pos] == u'\n');
        case Close:
            file.close();
            text.clear();
            pos = 0;
            closed = true;
            return Value();
        case Line:
            return Value::lng(line);
        case Column:
            return Value::lng(1);
        }
        throwError(err::NoSuchMember);
    }

private:
    bool closed = false;
    void needRead()
    {
        if (writing || closed)
            throwError(err::BadFileMode);
    }
    void put(const QString &s)
    {
        if (!writing || closed)
            throwError(err::BadFileMode);
        const QByteArray bytes =
            unicode ? QByteArray(reinterpret_cast<const char *>(s.utf16()), s.size() * 2)
                    : s.toUtf8();
        if (file.write(bytes) != bytes.size())
            throwError(57);
    }
};

Value openStream(const QString &path, int mode, bool create, bool unicode, bool overwrite)
{
    auto *ts = new TextStream;
    Value hold = Value::object(ts);
    const QFileInfo fi(path);
    if (mode == 1) {
        QFile f(path);
        if (!fi.exists())
            throwError(fi.dir().exists() ? err::FileNotFound : err::PathNotFound);
        if (!f.open(QIODevice::ReadOnly))
            throwError(err::PermissionDenied);
        ts->text = decodeText(f.readAll());
        return hold;
    }
    if (mode != 2 && mode != 8)
        throwError(err::InvalidCall);
    if (!fi.dir().exists())
        throwError(err::PathNotFound);
    if (fi.exists() && !overwrite && mode == 2)
        throwError(err::FileAlreadyExists);
    if (!fi.exists() && !create)
        throwError(err::FileNotFound);
    ts->writing = true;
    ts->unicode = unicode;
    ts->file.setFileName(path);
    const bool fresh = !fi.exists() || mode == 2;
    if (!ts->file.open(mode == 8 ? QIODevice::Append : QIODevice::WriteOnly | QIODevice::Truncate))
        throwError(err::PermissionDenied);
    if (unicode && fresh)
        ts->file.write("\xFF\xFE");
    return hold;
}

Value fileObject(const QString &path);
Value folderObject(const QString &path);

class EntryList : public NativeObject
{
public:
    EntryList(QString dir, bool folders) : dirPath(std::move(dir)), wantFolders(folders) {}
    enum
    {
        Count,
        Item
    };
    const QHash<QString, int> &members() const override
    {
        static const auto m = memberTable({"count", "item"});
        return m;
    }
    QString typeName() const override
    {
        return wantFolders ? QStringLiteral("Folders") : QStringLiteral("Files");
    }
    int defaultMember() const override { return Item; }
    QStringList names() const
    {
        const QDir d(dirPath);
        return d.entryList((wantFolders ? QDir::Dirs | QDir::NoDotAndDotDot : QDir::Files) |
                               QDir::Hidden | QDir::System,
                           QDir::Name | QDir::IgnoreCase);
    }
    Value make(const QString &name) const
    {
        const QString p = QDir(dirPath).filePath(name);
        return wantFolders ? folderObject(p) : fileObject(p);
    }
    bool enumerate(Interp &, std::vector<Value> &out) override
    {
        for (const QString &n : names())
            out.push_back(make(n));
        return true;
    }
    Value invoke(Interp &in, int member, Access access, Value *args, int argc,
                 const Value *) override
    {
        readOnly(access);
        if (member == Count)
            return Value::lng(int(names().size()));
        const QString name = argStr(in, args, argc, 0);
        for (const QString &n : names())
            if (n.compare(name, Qt::CaseInsensitive) == 0)
                return make(n);
        throwError(err::FileNotFound);
    }

private:
    QString dirPath;
    bool wantFolders;
};

class FileEntry : public NativeObject
{
public:
    FileEntry(QString p, bool folder) : path(std::move(p)), isFolder(folder) {}
    enum
    {
        Name,
        Path,
        Size,
        DateLastModified,
        ParentFolder,
        Files,
        SubFolders,
        OpenAsTextStream,
        ShortName,
        Type
    };
    const QHash<QString, int> &members() const override
    {
        static const auto m =
            memberTable({"name", "path", "size", "datelastmodified", "parentfolder", "files",
                         "subfolders", "openastextstream", "shortname", "type"});
        return m;
    }
    QString typeName() const override
    {
        return isFolder ? QStringLiteral("Folder") : QStringLiteral("File");
    }
    int defaultMember() const override { return Path; }
    Value invoke(Interp &in, int member, Access access, Value *args, int argc,
                 const Value *) override
    {
        readOnly(access);
        const QFileInfo fi(path);
        switch (member) {
        case Name:
        case ShortName:
            return Value::str(fi.fileName());
        case Path:
            return Value::str(QDir::cleanPath(fi.absoluteFilePath()));
        case Size: {
            if (!isFolder)
                return Value::fromInt64(fi.size()).type() == VType::Integer
                           ? Value::lng(int(fi.size()))
                           : Value::fromInt64(fi.size());
            qint64 total = 0;
            const QDir d(path);
            for (const QFileInfo &e : d.entryInfoList(QDir::Files | QDir::Hidden))
                total += e.size();
            return Value::fromInt64(total);
        }
        case DateLastModified:
            return Value::date(oleFromDateTime(fi.lastModified()));
        case ParentFolder:
            return folderObject(fi.absolutePath());
        case Files:
        case SubFolders:
            if (!isFolder)
                throwError(err::NoSuchMember);
            return Value::object(new EntryList(path, member == SubFolders));
        case OpenAsTextStream: {
            if (isFolder)
                throwError(err::NoSuchMember);
            const int mode = hasArg(args, argc, 0) ? toLong(in.scalar(args[0])) : 1;
            return openStream(path, mode, false, false, true);
        }
        case Type:
            return Value::str(isFolder ? QStringLiteral("File folder") : QStringLiteral("File"));
        }
        throwError(err::NoSuchMember);
    }

private:
    QString path;
    bool isFolder;
};

Value fileObject(const QString &path)
{
    return Value::object(new FileEntry(path, false));
}
Value folderObject(const QString &path)
{
    return Value::object(new FileEntry(path, true));
}

class FileSystem : public NativeObject
{
public:
    enum
    {
        FileExists,
        FolderExists,
        OpenTextFile,
        CreateTextFile,
        GetFile,
        GetFolder,
        BuildPath,
        GetFileName,
        GetBaseName,
        GetExtensionName,
        GetParentFolderName,
        CopyFile,
        MoveFile,
        DeleteFile,
        CreateFolder,
        DeleteFolder,
        GetAbsolutePathName
    };
    const QHash<QString, int> &members() const override
    {
        static const auto m =
            memberTable({"fileexists", "folderexists", "opentextfile", "createtextfile", "getfile",
                         "getfolder", "buildpath", "getfilename", "getbasename", "getextensionname",
                         "getparentfoldername", "copyfile", "movefile", "deletefile",
                         "createfolder", "deletefolder", "getabsolutepathname"});
        return m;
    }
    QString typeName() const override { return QStringLiteral("FileSystemObject"); }

    Value invoke(Interp &in, int member, Access access, Value *args, int argc,
                 const Value *) override
    {
        readOnly(access);
        auto s = [&](int i) { return argStr(in, args, argc, i); };
        switch (member) {
        case FileExists:
            return Value::boolean(QFileInfo(s(0)).isFile());
        case FolderExists:
            return Value::boolean(QFileInfo(s(0)).isDir());
        case OpenTextFile: {
            checkArgs(argc, 1, 4);
            const int mode = hasArg(args, argc, 1) ? toLong(in.scalar(args[1])) : 1;
            const bool create = argBool(in, args, argc, 2, false);
            const int format = hasArg(args, argc, 3) ? toLong(in.scalar(args[3])) : 0;
            return openStream(s(0), mode, create, format == -1, true);
        }
        case CreateTextFile: {
            checkArgs(argc, 1, 3);
            const bool overwrite = argBool(in, args, argc, 1, true);
            const bool unicode = argBool(in, args, argc, 2, false);
            return openStream(s(0), 2, true, unicode, overwrite);
        }
        case GetFile:
            if (!QFileInfo(s(0)).isFile())
                throwError(err::FileNotFound);
            return fileObject(s(0));
        case GetFolder:
            if (!QFileInfo(s(0)).isDir())
                throwError(err::PathNotFound);
            return folderObject(s(0));
        case BuildPath: {
            QString a = s(0), b = s(1);
            if (a.isEmpty())
                return Value::str(b);
            if (!a.endsWith(u'/') && !a.endsWith(u'\\') && !b.startsWith(u'/'))
                a += u'/';
            return Value::str(a + b);
        }
        case GetFileName:
            return Value::str(QFileInfo(trimmedPath(s(0))).fileName());
        case GetBaseName: {
            const QString name = QFileInfo(trimmedPath(s(0))).fileName();
            const qsizetype dot = name.lastIndexOf(u'.');
            return Value::str(dot > 0 ? name.left(dot) : name);
        }
        case GetExtensionName: {
            const QString name = QFileInfo(trimmedPath(s(0))).fileName();
            const qsizetype dot = name.lastIndexOf(u'.');
            return Value::str(dot >= 0 ? name.mid(dot + 1) : QString());
        }
        case GetParentFolderName: {
            const QString p = trimmedPath(s(0));
            const qsizetype slash = std::max(p.lastIndexOf(u'/'), p.lastIndexOf(u'\\'));
            if (slash < 0)
                return Value::str(QString());
            return Value::str(slash == 0 ? p.left(1) : p.left(slash));
        }
        case CopyFile:
        case MoveFile: {
            const QString from = s(0);
            QString to = s(1);
            const bool overwrite = member == CopyFile ? argBool(in, args, argc, 2, true) : false;
            if (!QFileInfo(from).isFile())
                throwError(err::FileNotFound);
            if (to.endsWith(u'/') || QFileInfo(to).isDir())
                to = QDir(to).filePath(QFileInfo(from).fileName());
            if (QFileInfo(to).exists()) {
                if (!overwrite)
                    throwError(err::FileAlreadyExists);
                QFile::remove(to);
            }
            const bool ok = member == CopyFile ? QFile::copy(from, to) : QFile::rename(from, to);
            if (!ok)
                throwError(err::PermissionDenied);
            return Value();
        }
        case DeleteFile:
            if (!QFileInfo(s(0)).isFile())
                throwError(err::FileNotFound);
            if (!QFile::remove(s(0)))
                throwError(err::PermissionDenied);
            return Value();
        case CreateFolder: {
            const QString p = s(0);
            if (QFileInfo(p).exists())
                throwError(err::FileAlreadyExists);
            if (!QDir().mkdir(p))
                throwError(err::PathNotFound);
            return folderObject(p);
        }
        case DeleteFolder:
            if (!QFileInfo(s(0)).isDir())
                throwError(err::PathNotFound);
            if (!QDir(s(0)).removeRecursively())
                throwError(err::PermissionDenied);
            return Value();
        case GetAbsolutePathName:
            return Value::str(QFileInfo(s(0)).absoluteFilePath());
        }
        throwError(err::NoSuchMember);
    }

private:
    static QString trimmedPath(QString p)
    {
        while (p.size() > 1 && (p.endsWith(u'/') || p.endsWith(u'\\')))
            p.chop(1);
        return p;
    }
};

} // namespace

Object *newFileSystemObject()
{
    return new FileSystem;
}

} // namespace quillora::vbs
