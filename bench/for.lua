-- FOR loop summing into a global.
local n = tonumber(arg[1])
total = 0
for i = 1, n do total = total + i end
print(total)
