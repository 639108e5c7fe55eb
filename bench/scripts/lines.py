# The same work as lines.vbs.
total = 0
for i in range(1, 1000001):
    line = "id" + str(i) + ",alpha,beta," + str(i % 97) + ",gamma"
    parts = line.split(",")
    p = line.find("beta") + 1
    s = line[p - 1:p + 3]
    r = line.replace("alpha", "A")
    total += len(parts) - 1 + p + len(s) + len(r)
print(total)
