# Integer-keyed elements written, then read back and summed.
import sys
n = int(sys.argv[1])
a = {}
s = 0
for i in range(n):
    a[i] = i
for i in range(n):
    s = s + a[i]
print(s)
