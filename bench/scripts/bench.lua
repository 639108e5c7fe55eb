-- The same loop as bench.vbs.
local total, hits, s = 0, 0, ""
for i = 1, 3000000 do
    total = (total + i * 7) % 1000003
    if total > 500000 then hits = hits + 1 end
    s = s .. "ab"
    if i % 100 == 0 then s = "" end
end
print(string.format("%d %d %d", total, hits, #s))
