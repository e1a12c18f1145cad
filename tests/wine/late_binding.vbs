' The caller's late-bound view of the add-in, as a script host sees it: the
' object is created by its program identifier and every member is called by
' name through IDispatch. Run by tests/wine/run.sh with cscript.
'
' A script host may end a script silently on an unhandled error, so every
' step is checked here and the number of failed checks is the exit code.
Option Explicit
On Error Resume Next

Dim failures, checks
failures = 0
checks = 0

Sub Check(name, condition)
  checks = checks + 1
  If condition Then
    WScript.Echo "ok   " & name
  Else
    failures = failures + 1
    WScript.Echo "FAIL " & name
  End If
End Sub

Sub CheckNoError(name)
  Dim failed
  failed = (Err.Number <> 0)
  If failed Then WScript.Echo "     error " & Hex(Err.Number) & ": " & Err.Description
  Check name, Not failed
  Err.Clear
End Sub

Dim addin
Err.Clear
Set addin = CreateObject("Harbolt.Harbolt")
CheckNoError "CreateObject(""Harbolt.Harbolt"")"
Check "the object exists", IsObject(addin)
If Not IsObject(addin) Then
  WScript.Echo "1 passed, 1 failed"
  WScript.Quit 1
End If

addin.SetCaxHandle "handle-7"
CheckNoError "SetCaxHandle"

addin.SetWorkDir "C:\windows\temp"
CheckNoError "SetWorkDir"

Dim dictionary
dictionary = "<?xml version=""1.0""?><root><table name=""Feature""/></root>"
addin.SetDD dictionary
CheckNoError "SetDD with a dictionary"

Dim number
number = addin.errNumber
CheckNoError "errNumber"
Check "errNumber starts at 0", number = 0

Dim valid
valid = addin.ConnIsValid
CheckNoError "ConnIsValid"
Check "ConnIsValid is 0", valid = 0

addin.SetParamValue "name", "value"
CheckNoError "SetParamValue"

' Without a host there is no active document: the export cannot run, and it
' must say so cleanly (an error the caller can read), not crash.
Dim result
Err.Clear
result = addin.RefreshTable("Feature", "C:\windows\temp\harbolt-wine-test.db")
Dim refreshError, refreshSource, refreshText
refreshError = Err.Number
refreshSource = Err.Source
refreshText = Err.Description
Err.Clear
Check "RefreshTable without a host fails with 0x80040200", refreshError = &H80040200
Dim description
description = addin.errDescription
CheckNoError "errDescription after RefreshTable"
WScript.Echo "     RefreshTable: error " & Hex(refreshError) & " from " & refreshSource & _
    ": " & refreshText
Check "the object still answers after the failure", addin.ConnIsValid = 0
CheckNoError "ConnIsValid after the failure"

' Unknown names are refused by name lookup.
Err.Clear
addin.NoSuchMember
Check "an unknown member is refused", Err.Number <> 0
Err.Clear

Set addin = Nothing
CheckNoError "releasing the object"

Dim passed
passed = checks - failures
WScript.Echo passed & " passed, " & failures & " failed"
WScript.Quit failures
