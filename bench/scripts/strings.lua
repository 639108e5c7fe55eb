-- The same work as strings.vbs; Lua builds strings in a table buffer, its usual way.
local parts = {}
for i = 1, 200000 do
    parts[#parts + 1] = string.char(65 + i % 26)
end
local s = table.concat(parts)
local total = 0
for i = 1, #s, 7 do
    total = total + s:byte(i)
end
local hits = 0
for i = 1, 100000 do
    local start = i % 1000 + 1
    local t = s:sub(start, start + 4)
    if t == "BCDEF" then hits = hits + 1 end
end
print(string.format("%d %d %d", #s, total, hits))
