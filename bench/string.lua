-- Building a string piece by piece.
local n = tonumber(arg[1])
local text = ""
for j = 1, n do text = text .. "x" end
print(#text)
