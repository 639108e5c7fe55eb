# The same work as calls.vbs.
def add3(a, b, c):
    return a + b + c


class Acc:
    def __init__(self):
        self.total = 0

    def add(self, n):
        self.total = self.total + n


acc = Acc()
t = 0
for i in range(1, 1000001):
    t = add3(t, i, 1) % 1000003
    acc.add(i % 7)
print(t, acc.total)
