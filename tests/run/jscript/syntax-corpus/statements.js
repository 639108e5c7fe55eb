var a = 1, b = [1, , 3], o = { x: 1, 'y': "two", 3: null };
function f(p, q) {
    if (p > q) { return p; } else return q;
}
outer: for (var i = 0; i < 10; i++) {
    for (k in o) { if (k == 'x') continue outer; else break; }
}
do { a++; } while (a < 5)
while (a--) ;
switch (a) { case 1: b = 2; break; default: b = 3; }
try { throw new Error(1, "x"); } catch (e) { a = e.number; } finally { a = 0; }
with (Math) { a = max(1, 2) ? floor(1.5) : -1; }
x = typeof a == "number" && !(a instanceof Object) || void 0;
