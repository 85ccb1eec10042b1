-- WHILE loop with an IF in its body.
local n = tonumber(arg[1])
local k, even, odd = 0, 0, 0
while k < n do
  if k % 2 == 0 then even = even + 1 else odd = odd + 1 end
  k = k + 1
end
print(even, odd)
