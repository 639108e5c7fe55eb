-- The same work as dict.vbs.
local d, count = {}, 0
for i = 1, 200000 do
    d["k" .. i] = i
    count = count + 1
end
local total = 0
for i = 1, 200000 do
    total = total + d["k" .. i]
end
local hits = 0
for i = 1, 400000, 3 do
    if d["k" .. i] ~= nil then hits = hits + 1 end
end
print(string.format("%d %d %d", count, total, hits))
