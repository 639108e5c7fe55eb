# The same work as strings.vbs.
s = ""
for i in range(1, 200001):
    s += chr(65 + i % 26)
total = 0
for i in range(1, len(s) + 1, 7):
    total += ord(s[i - 1])
hits = 0
for i in range(1, 100001):
    start = i % 1000
    t = s[start:start + 5]
    if t == "BCDEF":
        hits += 1
print(len(s), total, hits)
