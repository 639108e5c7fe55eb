# The same work as dict.vbs.
d = {}
for i in range(1, 200001):
    d["k" + str(i)] = i
total = 0
for i in range(1, 200001):
    total += d["k" + str(i)]
hits = 0
for i in range(1, 400001, 3):
    if ("k" + str(i)) in d:
        hits += 1
print(len(d), total, hits)
