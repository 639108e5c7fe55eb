# The same work as classes.vbs.
class Counter:
    def __init__(self):
        self._count = 0

    @property
    def count(self):
        return self._count

    def add(self, n):
        self._count += n


class Point:
    def __init__(self):
        self.x = None
        self.y = None

    def dist2(self, other):
        return (self.x - other.x) * (self.x - other.x) + (self.y - other.y) * (self.y - other.y)


c = Counter()
for i in range(1, 300001):
    a = Point()
    a.x = i % 100
    a.y = i % 7
    b = Point()
    b.x = i % 13
    b.y = 3
    c.add(a.dist2(b))
print(c.count)
