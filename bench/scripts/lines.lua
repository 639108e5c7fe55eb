-- The same work as lines.vbs.
local find, sub, gsub = string.find, string.sub, string.gsub
local total = 0
for i = 1, 1000000 do
    local line = "id" .. i .. ",alpha,beta," .. (i % 97) .. ",gamma"
    local parts, n, start = {}, 0, 1
    while true do
        local q = find(line, ",", start, true)
        n = n + 1
        if not q then
            parts[n] = sub(line, start)
            break
        end
        parts[n] = sub(line, start, q - 1)
        start = q + 1
    end
    local p = find(line, "beta", 1, true)
    local s = sub(line, p, p + 3)
    local r = gsub(line, "alpha", "A")
    total = total + (n - 1) + p + #s + #r
end
print(string.format("%d", total))
