-- The string functions in a loop.
local n = tonumber(arg[1])
local s = "The quick brown fox jumps over the lazy dog"
local c = 0
for i = 1, n do
  local t = string.upper(string.sub(s, 5, 15))
  t = string.gsub(t, "O", "0")
  c = c + (string.find(s, "lazy", 1, true) - 1) + #t
end
print(c)
