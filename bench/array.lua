-- Integer-keyed elements written, then read back and summed.
local n = tonumber(arg[1])
local a, s = {}, 0
for i = 0, n - 1 do a[i] = i end
for i = 0, n - 1 do s = s + a[i] end
print(s)
