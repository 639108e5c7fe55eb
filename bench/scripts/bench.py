# The same loop as bench.vbs.
total = 0
hits = 0
s = ""
for i in range(1, 3000001):
    total = (total + i * 7) % 1000003
    if total > 500000:
        hits = hits + 1
    s = s + "ab"
    if i % 100 == 0:
        s = ""
print(total, hits, len(s))
