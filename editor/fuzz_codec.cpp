// libFuzzer target: any bytes read and written back unedited come back identical, both
// as a whole and read piece by piece the way the editor reads large files (the first
// byte chooses the piece size). A difference is a finding.

#include "editor/textcodec.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "round trip failed: %s\n", what);
        std::abort();
    }
}

QByteArray encode(QByteArrayView utf8, const TextFormat &format, const LineBreaks &breaks)
{
    QByteArray out;
    encodeEditorText(utf8, format, breaks, [&out](QByteArrayView piece) {
        out.append(piece);
        return true;
    });
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0 || size > 65536)
        return 0;
    const qsizetype pieceSize = 1 + data[0] % 16;
    const QByteArray bytes(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));

    const DecodedText decoded = decodeText(bytes);
    check(encodeText(decoded.text, decoded.format, decoded.breaks) == bytes, "whole");

    EncodingDetector detector;
    QByteArray pending;
    qsizetype at = 0;
    const auto nextPiece = [&]() {
        const QByteArray next = bytes.mid(at, pieceSize);
        at += next.size();
        pending += next;
        return next.isEmpty();
    };
    for (;;) {
        const bool last = nextPiece();
        const qsizetype taken = detector.feed(pending, last);
        if (detector.decided() || last)
            break;
        pending.remove(0, taken);
    }
    check(detector.decided() && detector.encoding() == decoded.format.encoding, "detection");

    EditorTextDecoder decoder(detector.encoding());
    QByteArray utf8;
    pending.clear();
    at = 0;
    for (;;) {
        const bool last = nextPiece();
        const qsizetype taken = decoder.feed(pending, last, [&utf8](QByteArrayView piece) {
            utf8.append(piece);
            return true;
        });
        check(taken >= 0 && taken <= pending.size(), "piece taken");
        pending.remove(0, taken);
        if (last)
            break;
    }
    check(pending.isEmpty(), "rest left");
    const LineBreaks breaks = decoder.takeBreaks();
    check(breaks == decoded.breaks, "breaks");
    check(encode(utf8, decoder.format(), breaks) == bytes, "pieces");
    return 0;
}
