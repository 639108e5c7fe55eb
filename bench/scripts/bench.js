// The loop of bench.vbs in JScript: integer arithmetic, a comparison and a short string
// concatenation that is reset every 100 rounds, 3,000,000 times.
var i, total = 0, hits = 0, s = "";
for (i = 1; i <= 3000000; i++) {
    total = (total + i * 7) % 1000003;
    if (total > 500000) hits = hits + 1;
    s = s + "ab";
    if (i % 100 == 0) s = "";
}
WScript.Echo(total, hits, s.length);
