-- The same work as calls.vbs.
local function add3(a, b, c)
    return a + b + c
end

local Acc = {}
Acc.__index = Acc
function Acc.new() return setmetatable({total = 0}, Acc) end
function Acc:add(n) self.total = self.total + n end

local acc = Acc.new()
local t = 0
for i = 1, 1000000 do
    t = add3(t, i, 1) % 1000003
    acc:add(i % 7)
end
print(string.format("%d %d", t, acc.total))
