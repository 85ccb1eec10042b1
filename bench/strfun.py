# The string functions in a loop.
import sys
n = int(sys.argv[1])
s = "The quick brown fox jumps over the lazy dog"
c = 0
for i in range(1, n + 1):
    t = s[4:4 + 11].upper()
    t = t.replace("O", "0")
    c = c + s.find("lazy") + len(t)
print(c)
