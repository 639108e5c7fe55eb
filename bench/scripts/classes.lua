-- The same work as classes.vbs.
local Counter = {}
Counter.__index = Counter
function Counter.new() return setmetatable({ count = 0 }, Counter) end
function Counter:getCount() return self.count end
function Counter:add(n) self.count = self.count + n end

local Point = {}
Point.__index = Point
function Point.new() return setmetatable({}, Point) end
function Point:dist2(o)
    return (self.x - o.x) * (self.x - o.x) + (self.y - o.y) * (self.y - o.y)
end

local c = Counter.new()
for i = 1, 300000 do
    local a = Point.new()
    a.x = i % 100
    a.y = i % 7
    local b = Point.new()
    b.x = i % 13
    b.y = 3
    c:add(a:dist2(b))
end
print(string.format("%d", c:getCount()))
