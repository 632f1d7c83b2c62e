<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Form1</name>
    <message>
        <source>外信号 外1/2  超极限   远程   到达    报警  禁合闸   OFF3   OFF2   故障  准给定  准运行 准合闸  </source>
        <translation>ExtRun  Ext1/2  AbvLim  Remote  AtSetp  Alarm  Inhib  OFF3  OFF2  Fault  RdyRef  RdyRun  RdyOn</translation>
    </message>
    <message>
        <source>绿色</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>白色</source>
        <translation>White</translation>
    </message>
    <message>
        <source>红色</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>频率</source>
        <translation>Frequency</translation>
    </message>
    <message>
        <source>电流</source>
        <translation>Current</translation>
    </message>
    <message>
        <source>直流电压</source>
        <translation>DC bus</translation>
    </message>
    <message>
        <source>KOLVEN调试助手 专业ORVEX传动服务(加微信:tiaoshi0000) V1.0</source>
        <translation>KOLVEN Debug Assistant  Professional ORVEX drive service (WeChat: tiaoshi0000) V1.0</translation>
    </message>
    <message>
        <source>开始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>调试助手</source>
        <translation>Debug terminal</translation>
    </message>
    <message>
        <source>使用教程</source>
        <translation>User guide</translation>
    </message>
    <message>
        <source>注册MSCOMM控件</source>
        <translation>Register MSCOMM control</translation>
    </message>
    <message>
        <source>注册控件</source>
        <translation>Register control</translation>
    </message>
    <message>
        <source>卸载控件</source>
        <translation>Unregister control</translation>
    </message>
    <message>
        <source>微信扫码加好友</source>
        <translation>Add us on WeChat</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>串口设置</source>
        <translation>Serial port</translation>
    </message>
    <message>
        <source>端  口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud</translation>
    </message>
    <message>
        <source>校验位</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>数据位</source>
        <translation>Data bits</translation>
    </message>
    <message>
        <source>停止位</source>
        <translation>Stop bits</translation>
    </message>
    <message>
        <source>站号</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>参数列表</source>
        <translation>Parameter list</translation>
    </message>
    <message>
        <source>查看参数</source>
        <translation>Read params</translation>
    </message>
    <message>
        <source>调试</source>
        <translation>Terminal</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>添加CRC16校验码</source>
        <translation>Append CRC16</translation>
    </message>
    <message>
        <source>16进制发送</source>
        <translation>Send as hex</translation>
    </message>
    <message>
        <source>16进制显示接收</source>
        <translation>Show received as hex</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>启动</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>设置频率</source>
        <translation>Set freq.</translation>
    </message>
    <message>
        <source>故障复位</source>
        <translation>Reset fault</translation>
    </message>
    <message>
        <source>实时动态曲线</source>
        <translation>Live curves</translation>
    </message>
    <message>
        <source>显示 %1</source>
        <translation>Show %1</translation>
    </message>
    <message>
        <source>颜色：</source>
        <translation>Colour:</translation>
    </message>
    <message>
        <source>数据源：</source>
        <translation>Source:</translation>
    </message>
    <message>
        <source>比例系数：</source>
        <translation>Factor:</translation>
    </message>
    <message>
        <source>水平网格份数：</source>
        <translation>H. divisions:</translation>
    </message>
    <message>
        <source>垂直网格份数：</source>
        <translation>V. divisions:</translation>
    </message>
    <message>
        <source>垂直方向最小值：</source>
        <translation>Vertical min:</translation>
    </message>
    <message>
        <source>垂直方向最大值：</source>
        <translation>Vertical max:</translation>
    </message>
    <message>
        <source>清除曲线</source>
        <translation>Clear curves</translation>
    </message>
    <message>
        <source>清除状态</source>
        <translation>Clear lamps</translation>
    </message>
    <message>
        <source>状态指示</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>你真的想退出吗？ </source>
        <translation>Do you really want to quit? </translation>
    </message>
    <message>
        <source>退出提示 </source>
        <translation>Quit </translation>
    </message>
    <message>
        <source>您确定要停止运行吗？</source>
        <translation>Are you sure you want to stop the program?</translation>
    </message>
    <message>
        <source>打开串口</source>
        <translation>Open port</translation>
    </message>
    <message>
        <source>关闭串口</source>
        <translation>Close port</translation>
    </message>
    <message>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>最小值必须小于最大值</source>
        <translation>The minimum must be below the maximum</translation>
    </message>
    <message>
        <source>请打开串口</source>
        <translation>Please open the serial port</translation>
    </message>
    <message>
        <source>通讯忙，请稍候</source>
        <translation>The line is busy, please wait</translation>
    </message>
    <message>
        <source>发送失败，串口不可用</source>
        <translation>Sending failed: the serial port is not available</translation>
    </message>
    <message>
        <source>输出：</source>
        <translation>Output: </translation>
    </message>
    <message>
        <source>没有勾选需要查看的参数</source>
        <translation>No parameter is ticked for reading</translation>
    </message>
    <message>
        <source>无效端口号</source>
        <translation>Invalid port number</translation>
    </message>
    <message>
        <source>串口调试助手</source>
        <translation>Serial debug assistant</translation>
    </message>
    <message>
        <source>串口已断开，请检查连接后重新打开串口</source>
        <translation>The serial port is gone. Check the connection, then open the port again.</translation>
    </message>
</context>
<context>
    <name>Form2</name>
    <message>
        <source>使用教程</source>
        <translation>User guide</translation>
    </message>
    <message>
        <source>  1 变频器参数设置:</source>
        <translation>  1 Drive parameter settings:</translation>
    </message>
    <message>
        <source>    通讯设置</source>
        <translation>    Communication</translation>
    </message>
    <message>
        <source>    读取参数设置</source>
        <translation>    Values the tool reads</translation>
    </message>
    <message>
        <source>    外部控制设置</source>
        <translation>    External control</translation>
    </message>
    <message>
        <source>  2 查看参数的时候尽量不要同时查看10个以上,每个参数都有个延迟等待数据接  收，一次性查看太多，延迟时间过长</source>
        <translation>  2 Read no more than about 10 parameters at a time: each one waits for its reply, so many at once take long.</translation>
    </message>
    <message>
        <source>    显示的值为内存数据，转换工程数据需要乘以最小分辨率，比如电流最小分辨率是0.1，查看的数据时25，真实数据时2.5A</source>
        <translation>    Values are raw: multiply by the resolution for real units, e.g. current resolution 0.1: a value of 25 is 2.5 A.</translation>
    </message>
    <message>
        <source>    如果分辨率是百分比，最小分辨率是0.1%，AI1内存值是30，真实工程数据是30*0.1%*(%100代表的值,10V)=3V</source>
        <translation>    A percentage has a resolution of 0.1 %: an AI1 value of 30 is 30*0.1%*(value of 100 %, 10 V) = 3 V.</translation>
    </message>
    <message>
        <source>    最小分辨率可以在说明书完整参数表里查询</source>
        <translation>    The resolutions are in the complete parameter list of the drive manual.</translation>
    </message>
    <message>
        <source>  3 本人水平有限，错误在所难免，有ORVEX传动的问题欢迎交流，敬请谅解。</source>
        <translation>  3 Errors are hard to avoid; please bear with them. Questions about ORVEX drives are welcome.</translation>
    </message>
</context>
<context>
    <name>Form3</name>
    <message>
        <source>微信扫码加好友</source>
        <translation>Add us on WeChat</translation>
    </message>
</context>
<context>
    <name>kv::Additions</name>
    <message>
        <source>记录</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>统计清零</source>
        <translation>Reset counters</translation>
    </message>
    <message>
        <source>参数</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>分析</source>
        <translation>Analysis</translation>
    </message>
</context>
<context>
    <name>kv::CaptureFile</name>
    <message>
        <source>触发条件</source>
        <translation>Trigger condition</translation>
    </message>
    <message>
        <source>触发时间</source>
        <translation>Trigger time</translation>
    </message>
    <message>
        <source>站号</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>触发前 (s)</source>
        <translation>Before trigger (s)</translation>
    </message>
    <message>
        <source>触发后 (s)</source>
        <translation>After trigger (s)</translation>
    </message>
    <message>
        <source>故障记录</source>
        <translation>Fault record</translation>
    </message>
    <message>
        <source>未能读取：%1</source>
        <translation>Not read: %1</translation>
    </message>
    <message>
        <source>触发</source>
        <translation>Trigger</translation>
    </message>
</context>
<context>
    <name>kv::CaptureTrigger</name>
    <message>
        <source>无法创建文件夹 %1</source>
        <translation>Cannot create the folder %1</translation>
    </message>
</context>
<context>
    <name>kv::CaptureUi</name>
    <message>
        <source>通讯记录到文件…</source>
        <translation>Capture traffic to file…</translation>
    </message>
    <message>
        <source>停止通讯记录</source>
        <translation>Stop traffic capture</translation>
    </message>
    <message>
        <source>通讯记录已停止：%1</source>
        <translation>Traffic capture stopped: %1</translation>
    </message>
    <message>
        <source>通讯记录到文件</source>
        <translation>Capture traffic to file</translation>
    </message>
    <message>
        <source>文本文件 (*.txt);;所有文件 (*)</source>
        <translation>Text files (*.txt);;All files (*)</translation>
    </message>
    <message>
        <source>通讯记录.txt</source>
        <translation>traffic.txt</translation>
    </message>
    <message>
        <source>无法创建通讯记录：%1</source>
        <translation>Cannot create the traffic capture: %1</translation>
    </message>
    <message>
        <source>通讯记录：%1（%2 行）</source>
        <translation>Capture: %1 (%2 lines)</translation>
    </message>
</context>
<context>
    <name>kv::Catalogue</name>
    <message>
        <source>语言</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>应用宏</source>
        <translation>Application macro</translation>
    </message>
    <message>
        <source>电机额定电压</source>
        <translation>Motor nominal voltage</translation>
    </message>
    <message>
        <source>电机额定电流</source>
        <translation>Motor nominal current</translation>
    </message>
    <message>
        <source>电机额定频率</source>
        <translation>Motor nominal frequency</translation>
    </message>
    <message>
        <source>电机额定转速</source>
        <translation>Motor nominal speed</translation>
    </message>
    <message>
        <source>电机额定功率</source>
        <translation>Motor nominal power</translation>
    </message>
    <message>
        <source>电机功率因数</source>
        <translation>Motor power factor</translation>
    </message>
    <message>
        <source>转速与方向</source>
        <translation>Speed and direction</translation>
    </message>
    <message>
        <source>转速</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>输出频率</source>
        <translation>Output frequency</translation>
    </message>
    <message>
        <source>电流</source>
        <translation>Current</translation>
    </message>
    <message>
        <source>转矩</source>
        <translation>Torque</translation>
    </message>
    <message>
        <source>功率</source>
        <translation>Power</translation>
    </message>
    <message>
        <source>直流电压</source>
        <translation>DC bus voltage</translation>
    </message>
    <message>
        <source>输出电压</source>
        <translation>Output voltage</translation>
    </message>
    <message>
        <source>传动温度</source>
        <translation>Drive temperature</translation>
    </message>
    <message>
        <source>外部给定1</source>
        <translation>External reference 1</translation>
    </message>
    <message>
        <source>外部给定2</source>
        <translation>External reference 2</translation>
    </message>
    <message>
        <source>控制方式</source>
        <translation>Control location</translation>
    </message>
    <message>
        <source>运行时间</source>
        <translation>Run time</translation>
    </message>
    <message>
        <source>千瓦时计数器</source>
        <translation>kWh counter</translation>
    </message>
    <message>
        <source>调节器输出</source>
        <translation>Regulator output</translation>
    </message>
    <message>
        <source>DI 1-3状态</source>
        <translation>DI 1-3 status</translation>
    </message>
    <message>
        <source>DI 4-6状态</source>
        <translation>DI 4-6 status</translation>
    </message>
    <message>
        <source>AI1</source>
        <translation>AI1</translation>
    </message>
    <message>
        <source>AI2</source>
        <translation>AI2</translation>
    </message>
    <message>
        <source>RO 1-3状态</source>
        <translation>RO 1-3 status</translation>
    </message>
    <message>
        <source>RO 4-6状态</source>
        <translation>RO 4-6 status</translation>
    </message>
    <message>
        <source>AO1</source>
        <translation>AO1</translation>
    </message>
    <message>
        <source>AO2</source>
        <translation>AO2</translation>
    </message>
    <message>
        <source>PID1 输出</source>
        <translation>PID1 output</translation>
    </message>
    <message>
        <source>PID2 输出</source>
        <translation>PID2 output</translation>
    </message>
    <message>
        <source>PID1设定值</source>
        <translation>PID1 setpoint</translation>
    </message>
    <message>
        <source>PID2设定值</source>
        <translation>PID2 setpoint</translation>
    </message>
    <message>
        <source>PID1反馈值</source>
        <translation>PID1 feedback</translation>
    </message>
    <message>
        <source>PID2反馈值</source>
        <translation>PID2 feedback</translation>
    </message>
    <message>
        <source>PID1偏差值</source>
        <translation>PID1 deviation</translation>
    </message>
    <message>
        <source>PID2偏差值</source>
        <translation>PID2 deviation</translation>
    </message>
    <message>
        <source>通讯字</source>
        <translation>Comm word</translation>
    </message>
    <message>
        <source>通讯数据1</source>
        <translation>Comm value 1</translation>
    </message>
    <message>
        <source>通讯数据2</source>
        <translation>Comm value 2</translation>
    </message>
    <message>
        <source>过程变量1</source>
        <translation>Process variable 1</translation>
    </message>
    <message>
        <source>过程变量2</source>
        <translation>Process variable 2</translation>
    </message>
    <message>
        <source>过程变量3</source>
        <translation>Process variable 3</translation>
    </message>
    <message>
        <source>兆瓦时计数器</source>
        <translation>MWh counter</translation>
    </message>
    <message>
        <source>旋转计数器</source>
        <translation>Revolution counter</translation>
    </message>
    <message>
        <source>通电时间（日）</source>
        <translation>Power-on time (days)</translation>
    </message>
    <message>
        <source>通电时间（嘀嗒）</source>
        <translation>Power-on time (ticks)</translation>
    </message>
    <message>
        <source>电机温度</source>
        <translation>Motor temperature</translation>
    </message>
    <message>
        <source>超越模式激活</source>
        <translation>Override active</translation>
    </message>
    <message>
        <source>控制板温度</source>
        <translation>Control board temperature</translation>
    </message>
    <message>
        <source>输入千瓦时</source>
        <translation>Input kWh</translation>
    </message>
    <message>
        <source>输入兆瓦时</source>
        <translation>Input MWh</translation>
    </message>
    <message>
        <source>PID通讯值1</source>
        <translation>PID comm value 1</translation>
    </message>
    <message>
        <source>PID通讯值2</source>
        <translation>PID comm value 2</translation>
    </message>
    <message>
        <source>节能千瓦时</source>
        <translation>Saved kWh</translation>
    </message>
    <message>
        <source>节能兆瓦时</source>
        <translation>Saved MWh</translation>
    </message>
    <message>
        <source>节省投资额1</source>
        <translation>Saved amount 1</translation>
    </message>
    <message>
        <source>节省投资额2</source>
        <translation>Saved amount 2</translation>
    </message>
    <message>
        <source>CO2减排量</source>
        <translation>CO2 reduction</translation>
    </message>
    <message>
        <source>最后故障</source>
        <translation>Last fault</translation>
    </message>
    <message>
        <source>故障时间1</source>
        <translation>Fault time 1</translation>
    </message>
    <message>
        <source>故障时间2</source>
        <translation>Fault time 2</translation>
    </message>
    <message>
        <source>故障时转速</source>
        <translation>Speed at fault</translation>
    </message>
    <message>
        <source>故障时频率</source>
        <translation>Frequency at fault</translation>
    </message>
    <message>
        <source>故障时电压</source>
        <translation>Voltage at fault</translation>
    </message>
    <message>
        <source>故障时电流</source>
        <translation>Current at fault</translation>
    </message>
    <message>
        <source>故障时转矩</source>
        <translation>Torque at fault</translation>
    </message>
    <message>
        <source>故障时状态</source>
        <translation>Status at fault</translation>
    </message>
    <message>
        <source>故障时DI 1-3</source>
        <translation>DI 1-3 at fault</translation>
    </message>
    <message>
        <source>故障时DI 4-6</source>
        <translation>DI 4-6 at fault</translation>
    </message>
    <message>
        <source>历史故障1</source>
        <translation>Previous fault 1</translation>
    </message>
    <message>
        <source>历史故障2</source>
        <translation>Previous fault 2</translation>
    </message>
    <message>
        <source>外部1命令</source>
        <translation>Ext1 commands</translation>
    </message>
    <message>
        <source>外部2命令</source>
        <translation>Ext2 commands</translation>
    </message>
    <message>
        <source>转向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>控制盘给定</source>
        <translation>Panel reference</translation>
    </message>
    <message>
        <source>外部控制选择</source>
        <translation>External control select</translation>
    </message>
    <message>
        <source>给定值1选择</source>
        <translation>Reference 1 select</translation>
    </message>
    <message>
        <source>给定值1下限</source>
        <translation>Reference 1 minimum</translation>
    </message>
    <message>
        <source>给定值1上限</source>
        <translation>Reference 1 maximum</translation>
    </message>
    <message>
        <source>给定值2选择</source>
        <translation>Reference 2 select</translation>
    </message>
    <message>
        <source>给定值2下限</source>
        <translation>Reference 2 minimum</translation>
    </message>
    <message>
        <source>给定值2上限</source>
        <translation>Reference 2 maximum</translation>
    </message>
    <message>
        <source>恒速选择</source>
        <translation>Constant speed select</translation>
    </message>
    <message>
        <source>恒速1</source>
        <translation>Constant speed 1</translation>
    </message>
    <message>
        <source>恒速2</source>
        <translation>Constant speed 2</translation>
    </message>
    <message>
        <source>恒速3</source>
        <translation>Constant speed 3</translation>
    </message>
    <message>
        <source>恒速4</source>
        <translation>Constant speed 4</translation>
    </message>
    <message>
        <source>恒速5</source>
        <translation>Constant speed 5</translation>
    </message>
    <message>
        <source>恒速6</source>
        <translation>Constant speed 6</translation>
    </message>
    <message>
        <source>恒速7</source>
        <translation>Constant speed 7</translation>
    </message>
    <message>
        <source>AI1下限</source>
        <translation>AI1 minimum</translation>
    </message>
    <message>
        <source>AI1上限</source>
        <translation>AI1 maximum</translation>
    </message>
    <message>
        <source>AI1滤波时间</source>
        <translation>AI1 filter time</translation>
    </message>
    <message>
        <source>AI2下限</source>
        <translation>AI2 minimum</translation>
    </message>
    <message>
        <source>AI2上限</source>
        <translation>AI2 maximum</translation>
    </message>
    <message>
        <source>AI2滤波时间</source>
        <translation>AI2 filter time</translation>
    </message>
    <message>
        <source>继电器输出1</source>
        <translation>Relay output 1</translation>
    </message>
    <message>
        <source>继电器输出2</source>
        <translation>Relay output 2</translation>
    </message>
    <message>
        <source>继电器输出3</source>
        <translation>Relay output 3</translation>
    </message>
    <message>
        <source>继电器1通延时</source>
        <translation>Relay 1 on delay</translation>
    </message>
    <message>
        <source>继电器1断延时</source>
        <translation>Relay 1 off delay</translation>
    </message>
    <message>
        <source>继电器2通延时</source>
        <translation>Relay 2 on delay</translation>
    </message>
    <message>
        <source>继电器2断延时</source>
        <translation>Relay 2 off delay</translation>
    </message>
    <message>
        <source>继电器3通延时</source>
        <translation>Relay 3 on delay</translation>
    </message>
    <message>
        <source>继电器3断延时</source>
        <translation>Relay 3 off delay</translation>
    </message>
    <message>
        <source>继电器输出4</source>
        <translation>Relay output 4</translation>
    </message>
    <message>
        <source>继电器输出5</source>
        <translation>Relay output 5</translation>
    </message>
    <message>
        <source>继电器输出6</source>
        <translation>Relay output 6</translation>
    </message>
    <message>
        <source>继电器4通延时</source>
        <translation>Relay 4 on delay</translation>
    </message>
    <message>
        <source>继电器4断延时</source>
        <translation>Relay 4 off delay</translation>
    </message>
    <message>
        <source>继电器5通延时</source>
        <translation>Relay 5 on delay</translation>
    </message>
    <message>
        <source>继电器5断延时</source>
        <translation>Relay 5 off delay</translation>
    </message>
    <message>
        <source>继电器6通延时</source>
        <translation>Relay 6 on delay</translation>
    </message>
    <message>
        <source>继电器6断延时</source>
        <translation>Relay 6 off delay</translation>
    </message>
    <message>
        <source>AO1赋值</source>
        <translation>AO1 content</translation>
    </message>
    <message>
        <source>AO1赋值下限</source>
        <translation>AO1 content minimum</translation>
    </message>
    <message>
        <source>AO1赋值上限</source>
        <translation>AO1 content maximum</translation>
    </message>
    <message>
        <source>AO1下限</source>
        <translation>AO1 minimum</translation>
    </message>
    <message>
        <source>AO1上限</source>
        <translation>AO1 maximum</translation>
    </message>
    <message>
        <source>AO1滤波时间</source>
        <translation>AO1 filter time</translation>
    </message>
    <message>
        <source>AO2赋值</source>
        <translation>AO2 content</translation>
    </message>
    <message>
        <source>AO2赋值下限</source>
        <translation>AO2 content minimum</translation>
    </message>
    <message>
        <source>AO2赋值上限</source>
        <translation>AO2 content maximum</translation>
    </message>
    <message>
        <source>AO2下限</source>
        <translation>AO2 minimum</translation>
    </message>
    <message>
        <source>AO2上限</source>
        <translation>AO2 maximum</translation>
    </message>
    <message>
        <source>AO2滤波时间</source>
        <translation>AO2 filter time</translation>
    </message>
    <message>
        <source>运行允许</source>
        <translation>Run enable</translation>
    </message>
    <message>
        <source>参数锁定</source>
        <translation>Parameter lock</translation>
    </message>
    <message>
        <source>解锁密码</source>
        <translation>Unlock code</translation>
    </message>
    <message>
        <source>故障复位选择</source>
        <translation>Fault reset select</translation>
    </message>
    <message>
        <source>用户参数切换</source>
        <translation>User parameter set change</translation>
    </message>
    <message>
        <source>本地锁定</source>
        <translation>Local lock</translation>
    </message>
    <message>
        <source>参数存储</source>
        <translation>Parameter save</translation>
    </message>
    <message>
        <source>起动允许1</source>
        <translation>Start enable 1</translation>
    </message>
    <message>
        <source>起动允许2</source>
        <translation>Start enable 2</translation>
    </message>
    <message>
        <source>显示报警</source>
        <translation>Display alarms</translation>
    </message>
    <message>
        <source>超越模式选择</source>
        <translation>Override select</translation>
    </message>
    <message>
        <source>超越模式运行频率</source>
        <translation>Override frequency</translation>
    </message>
    <message>
        <source>超越模式密码</source>
        <translation>Override code</translation>
    </message>
    <message>
        <source>超越模式使能</source>
        <translation>Override enable</translation>
    </message>
    <message>
        <source>超越模式方向</source>
        <translation>Override direction</translation>
    </message>
    <message>
        <source>超越模式给定</source>
        <translation>Override reference</translation>
    </message>
    <message>
        <source>最大电流</source>
        <translation>Maximum current</translation>
    </message>
    <message>
        <source>过压控制</source>
        <translation>Overvoltage control</translation>
    </message>
    <message>
        <source>欠压控制</source>
        <translation>Undervoltage control</translation>
    </message>
    <message>
        <source>最小频率</source>
        <translation>Minimum frequency</translation>
    </message>
    <message>
        <source>最大频率</source>
        <translation>Maximum frequency</translation>
    </message>
    <message>
        <source>起动方式</source>
        <translation>Start function</translation>
    </message>
    <message>
        <source>停车方式</source>
        <translation>Stop function</translation>
    </message>
    <message>
        <source>直流磁化时间</source>
        <translation>DC magnetising time</translation>
    </message>
    <message>
        <source>直流抱闸控制</source>
        <translation>DC hold control</translation>
    </message>
    <message>
        <source>直流抱闸电流</source>
        <translation>DC hold current</translation>
    </message>
    <message>
        <source>直流制动时间</source>
        <translation>DC braking time</translation>
    </message>
    <message>
        <source>起动禁止</source>
        <translation>Start inhibit</translation>
    </message>
    <message>
        <source>急停选择</source>
        <translation>Emergency stop select</translation>
    </message>
    <message>
        <source>转矩提升电流</source>
        <translation>Torque boost current</translation>
    </message>
    <message>
        <source>启动延时</source>
        <translation>Start delay</translation>
    </message>
    <message>
        <source>加减速曲线选择</source>
        <translation>Ramp pair select</translation>
    </message>
    <message>
        <source>加速时间1</source>
        <translation>Acceleration time 1</translation>
    </message>
    <message>
        <source>减速时间1</source>
        <translation>Deceleration time 1</translation>
    </message>
    <message>
        <source>速度曲线形状1</source>
        <translation>Ramp shape 1</translation>
    </message>
    <message>
        <source>加速时间2</source>
        <translation>Acceleration time 2</translation>
    </message>
    <message>
        <source>减速时间2</source>
        <translation>Deceleration time 2</translation>
    </message>
    <message>
        <source>速度曲线形状2</source>
        <translation>Ramp shape 2</translation>
    </message>
    <message>
        <source>急停减速时间</source>
        <translation>Emergency deceleration time</translation>
    </message>
    <message>
        <source>积分器输入置0</source>
        <translation>Ramp input to zero</translation>
    </message>
    <message>
        <source>危险频率选择</source>
        <translation>Critical frequency select</translation>
    </message>
    <message>
        <source>危险频率1低限</source>
        <translation>Critical frequency 1 low limit</translation>
    </message>
    <message>
        <source>危险频率1高限</source>
        <translation>Critical frequency 1 high limit</translation>
    </message>
    <message>
        <source>危险频率2低限</source>
        <translation>Critical frequency 2 low limit</translation>
    </message>
    <message>
        <source>危险频率2高限</source>
        <translation>Critical frequency 2 high limit</translation>
    </message>
    <message>
        <source>危险频率3低限</source>
        <translation>Critical frequency 3 low limit</translation>
    </message>
    <message>
        <source>危险频率3高限</source>
        <translation>Critical frequency 3 high limit</translation>
    </message>
    <message>
        <source>允许磁通最优化</source>
        <translation>Flux optimisation enable</translation>
    </message>
    <message>
        <source>磁通制动</source>
        <translation>Flux braking</translation>
    </message>
    <message>
        <source>IR补偿电压</source>
        <translation>IR compensation voltage</translation>
    </message>
    <message>
        <source>IR补偿电频率</source>
        <translation>IR compensation frequency</translation>
    </message>
    <message>
        <source>压频比曲线</source>
        <translation>U/f ratio</translation>
    </message>
    <message>
        <source>开关频率</source>
        <translation>Switching frequency</translation>
    </message>
    <message>
        <source>开关频率控制</source>
        <translation>Switching frequency control</translation>
    </message>
    <message>
        <source>滑差补偿</source>
        <translation>Slip compensation</translation>
    </message>
    <message>
        <source>噪音过滤</source>
        <translation>Noise smoothing</translation>
    </message>
    <message>
        <source>自定义U1</source>
        <translation>Custom U1</translation>
    </message>
    <message>
        <source>自定义F1</source>
        <translation>Custom F1</translation>
    </message>
    <message>
        <source>自定义U2</source>
        <translation>Custom U2</translation>
    </message>
    <message>
        <source>自定义F2</source>
        <translation>Custom F2</translation>
    </message>
    <message>
        <source>自定义U3</source>
        <translation>Custom U3</translation>
    </message>
    <message>
        <source>自定义F3</source>
        <translation>Custom F3</translation>
    </message>
    <message>
        <source>自定义U4</source>
        <translation>Custom U4</translation>
    </message>
    <message>
        <source>自定义F4</source>
        <translation>Custom F4</translation>
    </message>
    <message>
        <source>最高电压</source>
        <translation>Maximum voltage</translation>
    </message>
    <message>
        <source>直流稳压器</source>
        <translation>DC stabiliser</translation>
    </message>
    <message>
        <source>AI小于最小设定值</source>
        <translation>AI below minimum</translation>
    </message>
    <message>
        <source>控制盘丢失</source>
        <translation>Panel loss</translation>
    </message>
    <message>
        <source>外部故障1</source>
        <translation>External fault 1</translation>
    </message>
    <message>
        <source>外部故障2</source>
        <translation>External fault 2</translation>
    </message>
    <message>
        <source>电机温度保护</source>
        <translation>Motor thermal protection</translation>
    </message>
    <message>
        <source>电机温升时间</source>
        <translation>Motor thermal time</translation>
    </message>
    <message>
        <source>电机负载曲线</source>
        <translation>Motor load curve</translation>
    </message>
    <message>
        <source>零速负载</source>
        <translation>Zero speed load</translation>
    </message>
    <message>
        <source>负载折点</source>
        <translation>Load curve break point</translation>
    </message>
    <message>
        <source>堵转功能</source>
        <translation>Stall function</translation>
    </message>
    <message>
        <source>堵转频率</source>
        <translation>Stall frequency</translation>
    </message>
    <message>
        <source>堵转时间</source>
        <translation>Stall time</translation>
    </message>
    <message>
        <source>接地故障</source>
        <translation>Earth fault</translation>
    </message>
    <message>
        <source>通讯故障功能</source>
        <translation>Comm fault function</translation>
    </message>
    <message>
        <source>通讯故障时间</source>
        <translation>Comm fault time</translation>
    </message>
    <message>
        <source>AI1故障极限</source>
        <translation>AI1 fault limit</translation>
    </message>
    <message>
        <source>AI2故障极限</source>
        <translation>AI2 fault limit</translation>
    </message>
    <message>
        <source>接线故障</source>
        <translation>Wiring fault</translation>
    </message>
    <message>
        <source>控制板温度故障</source>
        <translation>Control board temperature fault</translation>
    </message>
    <message>
        <source>复位次数</source>
        <translation>Number of reset trials</translation>
    </message>
    <message>
        <source>复位时间</source>
        <translation>Reset trial time</translation>
    </message>
    <message>
        <source>延时时间</source>
        <translation>Reset delay time</translation>
    </message>
    <message>
        <source>过流复位</source>
        <translation>Overcurrent reset</translation>
    </message>
    <message>
        <source>过压复位</source>
        <translation>Overvoltage reset</translation>
    </message>
    <message>
        <source>欠压复位</source>
        <translation>Undervoltage reset</translation>
    </message>
    <message>
        <source>AI故障复位</source>
        <translation>AI fault reset</translation>
    </message>
    <message>
        <source>外部故障复位</source>
        <translation>External fault reset</translation>
    </message>
    <message>
        <source>监控器1参数</source>
        <translation>Supervision 1 parameter</translation>
    </message>
    <message>
        <source>监控器1低限</source>
        <translation>Supervision 1 low limit</translation>
    </message>
    <message>
        <source>监控器1高限</source>
        <translation>Supervision 1 high limit</translation>
    </message>
    <message>
        <source>监控器2参数</source>
        <translation>Supervision 2 parameter</translation>
    </message>
    <message>
        <source>监控器2低限</source>
        <translation>Supervision 2 low limit</translation>
    </message>
    <message>
        <source>监控器2高限</source>
        <translation>Supervision 2 high limit</translation>
    </message>
    <message>
        <source>监控器3参数</source>
        <translation>Supervision 3 parameter</translation>
    </message>
    <message>
        <source>监控器3低限</source>
        <translation>Supervision 3 low limit</translation>
    </message>
    <message>
        <source>监控器3高限</source>
        <translation>Supervision 3 high limit</translation>
    </message>
    <message>
        <source>软件版本</source>
        <translation>Firmware version</translation>
    </message>
    <message>
        <source>程序版本</source>
        <translation>Program version</translation>
    </message>
    <message>
        <source>测试日期</source>
        <translation>Test date</translation>
    </message>
    <message>
        <source>传动容量</source>
        <translation>Drive rating</translation>
    </message>
    <message>
        <source>参数表</source>
        <translation>Parameter table</translation>
    </message>
    <message>
        <source>信号1参数</source>
        <translation>Signal 1 parameter</translation>
    </message>
    <message>
        <source>信号1最小值</source>
        <translation>Signal 1 minimum</translation>
    </message>
    <message>
        <source>信号1最大值</source>
        <translation>Signal 1 maximum</translation>
    </message>
    <message>
        <source>信号1格式</source>
        <translation>Signal 1 format</translation>
    </message>
    <message>
        <source>信号1单位</source>
        <translation>Signal 1 unit</translation>
    </message>
    <message>
        <source>输出1最小值</source>
        <translation>Output 1 minimum</translation>
    </message>
    <message>
        <source>输出1最大值</source>
        <translation>Output 1 maximum</translation>
    </message>
    <message>
        <source>信号2参数</source>
        <translation>Signal 2 parameter</translation>
    </message>
    <message>
        <source>信号2最小值</source>
        <translation>Signal 2 minimum</translation>
    </message>
    <message>
        <source>信号2最大值</source>
        <translation>Signal 2 maximum</translation>
    </message>
    <message>
        <source>信号2格式</source>
        <translation>Signal 2 format</translation>
    </message>
    <message>
        <source>信号2单位</source>
        <translation>Signal 2 unit</translation>
    </message>
    <message>
        <source>输出2最小值</source>
        <translation>Output 2 minimum</translation>
    </message>
    <message>
        <source>输出2最大值</source>
        <translation>Output 2 maximum</translation>
    </message>
    <message>
        <source>信号3参数</source>
        <translation>Signal 3 parameter</translation>
    </message>
    <message>
        <source>信号3最小值</source>
        <translation>Signal 3 minimum</translation>
    </message>
    <message>
        <source>信号3最大值</source>
        <translation>Signal 3 maximum</translation>
    </message>
    <message>
        <source>信号3格式</source>
        <translation>Signal 3 format</translation>
    </message>
    <message>
        <source>信号3单位</source>
        <translation>Signal 3 unit</translation>
    </message>
    <message>
        <source>输出3最小值</source>
        <translation>Output 3 minimum</translation>
    </message>
    <message>
        <source>输出3最大值</source>
        <translation>Output 3 maximum</translation>
    </message>
    <message>
        <source>传感器类型</source>
        <translation>Sensor type</translation>
    </message>
    <message>
        <source>输入选择</source>
        <translation>Input select</translation>
    </message>
    <message>
        <source>报警极限</source>
        <translation>Alarm limit</translation>
    </message>
    <message>
        <source>故障极限</source>
        <translation>Fault limit</translation>
    </message>
    <message>
        <source>用户负载曲线模式</source>
        <translation>User load curve mode</translation>
    </message>
    <message>
        <source>用户负载曲线功能</source>
        <translation>User load curve function</translation>
    </message>
    <message>
        <source>用户负载曲线时间</source>
        <translation>User load curve time</translation>
    </message>
    <message>
        <source>负载频率1</source>
        <translation>Load frequency 1</translation>
    </message>
    <message>
        <source>欠载转矩1</source>
        <translation>Underload torque 1</translation>
    </message>
    <message>
        <source>过载转矩1</source>
        <translation>Overload torque 1</translation>
    </message>
    <message>
        <source>负载频率2</source>
        <translation>Load frequency 2</translation>
    </message>
    <message>
        <source>欠载转矩2</source>
        <translation>Underload torque 2</translation>
    </message>
    <message>
        <source>过载转矩2</source>
        <translation>Overload torque 2</translation>
    </message>
    <message>
        <source>负载频率3</source>
        <translation>Load frequency 3</translation>
    </message>
    <message>
        <source>欠载转矩3</source>
        <translation>Underload torque 3</translation>
    </message>
    <message>
        <source>过载转矩3</source>
        <translation>Overload torque 3</translation>
    </message>
    <message>
        <source>负载频率4</source>
        <translation>Load frequency 4</translation>
    </message>
    <message>
        <source>欠载转矩4</source>
        <translation>Underload torque 4</translation>
    </message>
    <message>
        <source>过载转矩4</source>
        <translation>Overload torque 4</translation>
    </message>
    <message>
        <source>负载频率5</source>
        <translation>Load frequency 5</translation>
    </message>
    <message>
        <source>欠载转矩5</source>
        <translation>Underload torque 5</translation>
    </message>
    <message>
        <source>过载转矩5</source>
        <translation>Overload torque 5</translation>
    </message>
    <message>
        <source>增益</source>
        <translation>Gain</translation>
    </message>
    <message>
        <source>积分时间</source>
        <translation>Integration time</translation>
    </message>
    <message>
        <source>微分时间</source>
        <translation>Derivation time</translation>
    </message>
    <message>
        <source>微分滤波</source>
        <translation>Derivation filter</translation>
    </message>
    <message>
        <source>偏差值取反</source>
        <translation>Error value invert</translation>
    </message>
    <message>
        <source>单位</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>显示格式</source>
        <translation>Display format</translation>
    </message>
    <message>
        <source>0%值</source>
        <translation>0% value</translation>
    </message>
    <message>
        <source>100%值</source>
        <translation>100% value</translation>
    </message>
    <message>
        <source>给定值选择</source>
        <translation>Setpoint select</translation>
    </message>
    <message>
        <source>内部给定值</source>
        <translation>Internal setpoint</translation>
    </message>
    <message>
        <source>给定最小值</source>
        <translation>Setpoint minimum</translation>
    </message>
    <message>
        <source>给定最大值</source>
        <translation>Setpoint maximum</translation>
    </message>
    <message>
        <source>反馈值选择</source>
        <translation>Feedback select</translation>
    </message>
    <message>
        <source>乘法因子</source>
        <translation>Feedback multiplier</translation>
    </message>
    <message>
        <source>实际值1输入</source>
        <translation>Actual 1 input</translation>
    </message>
    <message>
        <source>实际值2输入</source>
        <translation>Actual 2 input</translation>
    </message>
    <message>
        <source>实际值1下限</source>
        <translation>Actual 1 minimum</translation>
    </message>
    <message>
        <source>实际值1上限</source>
        <translation>Actual 1 maximum</translation>
    </message>
    <message>
        <source>实际值2下限</source>
        <translation>Actual 2 minimum</translation>
    </message>
    <message>
        <source>实际值2上限</source>
        <translation>Actual 2 maximum</translation>
    </message>
    <message>
        <source>睡眠选择</source>
        <translation>Sleep select</translation>
    </message>
    <message>
        <source>睡眠频率</source>
        <translation>Sleep frequency</translation>
    </message>
    <message>
        <source>睡眠延迟</source>
        <translation>Sleep delay</translation>
    </message>
    <message>
        <source>唤醒偏差</source>
        <translation>Wake-up deviation</translation>
    </message>
    <message>
        <source>唤醒延迟</source>
        <translation>Wake-up delay</translation>
    </message>
    <message>
        <source>PID 1参数选择</source>
        <translation>PID 1 parameter set</translation>
    </message>
    <message>
        <source>激活</source>
        <translation>Activate</translation>
    </message>
    <message>
        <source>偏置</source>
        <translation>Offset</translation>
    </message>
    <message>
        <source>修正模式</source>
        <translation>Trim mode</translation>
    </message>
    <message>
        <source>修正因子</source>
        <translation>Trim factor</translation>
    </message>
    <message>
        <source>纠偏源</source>
        <translation>Correction source</translation>
    </message>
    <message>
        <source>电价</source>
        <translation>Energy price</translation>
    </message>
    <message>
        <source>二氧化碳排放系数</source>
        <translation>CO2 conversion factor</translation>
    </message>
    <message>
        <source>水泵功率</source>
        <translation>Pump power</translation>
    </message>
    <message>
        <source>节能计算复位</source>
        <translation>Energy calculation reset</translation>
    </message>
    <message>
        <source>总线适配器类型</source>
        <translation>Fieldbus adapter type</translation>
    </message>
    <message>
        <source>总线参数226</source>
        <translation>Fieldbus parameters 2-26</translation>
    </message>
    <message>
        <source>总线参数刷新</source>
        <translation>Fieldbus parameter refresh</translation>
    </message>
    <message>
        <source>CPI版本</source>
        <translation>CPI version</translation>
    </message>
    <message>
        <source>文件辨识</source>
        <translation>File ID</translation>
    </message>
    <message>
        <source>文件版本</source>
        <translation>File version</translation>
    </message>
    <message>
        <source>适配器状态</source>
        <translation>Adapter status</translation>
    </message>
    <message>
        <source>适配器CPI版本</source>
        <translation>Adapter CPI version</translation>
    </message>
    <message>
        <source>功能块版本</source>
        <translation>Function block version</translation>
    </message>
    <message>
        <source>内置通讯协议辨识</source>
        <translation>Embedded protocol ID</translation>
    </message>
    <message>
        <source>EFB站点号</source>
        <translation>EFB station ID</translation>
    </message>
    <message>
        <source>EFB波特率</source>
        <translation>EFB baud rate</translation>
    </message>
    <message>
        <source>EFB校验</source>
        <translation>EFB parity</translation>
    </message>
    <message>
        <source>EFB控制类型</source>
        <translation>EFB control profile</translation>
    </message>
    <message>
        <source>EFB好消息</source>
        <translation>EFB OK messages</translation>
    </message>
    <message>
        <source>EFB CRC错误</source>
        <translation>EFB CRC errors</translation>
    </message>
    <message>
        <source>EFB 收发错误</source>
        <translation>EFB transfer errors</translation>
    </message>
    <message>
        <source>EFB 状态</source>
        <translation>EFB status</translation>
    </message>
    <message>
        <source>EFB 参数10</source>
        <translation>EFB parameter 10</translation>
    </message>
    <message>
        <source>EFB 参数11</source>
        <translation>EFB parameter 11</translation>
    </message>
    <message>
        <source>EFB 参数12</source>
        <translation>EFB parameter 12</translation>
    </message>
    <message>
        <source>EFB 参数13</source>
        <translation>EFB parameter 13</translation>
    </message>
    <message>
        <source>EFB 参数14</source>
        <translation>EFB parameter 14</translation>
    </message>
    <message>
        <source>EFB 参数15</source>
        <translation>EFB parameter 15</translation>
    </message>
    <message>
        <source>EFB 参数16</source>
        <translation>EFB parameter 16</translation>
    </message>
    <message>
        <source>EFB 参数17</source>
        <translation>EFB parameter 17</translation>
    </message>
    <message>
        <source>EFB 参数18</source>
        <translation>EFB parameter 18</translation>
    </message>
    <message>
        <source>EFB 参数19</source>
        <translation>EFB parameter 19</translation>
    </message>
    <message>
        <source>EFB 参数20</source>
        <translation>EFB parameter 20</translation>
    </message>
    <message>
        <source>流量补偿1</source>
        <translation>Flow compensation 1</translation>
    </message>
    <message>
        <source>流量补偿2</source>
        <translation>Flow compensation 2</translation>
    </message>
    <message>
        <source>流量补偿3</source>
        <translation>Flow compensation 3</translation>
    </message>
    <message>
        <source>起动频率1</source>
        <translation>Start frequency 1</translation>
    </message>
    <message>
        <source>起动频率2</source>
        <translation>Start frequency 2</translation>
    </message>
    <message>
        <source>起动频率3</source>
        <translation>Start frequency 3</translation>
    </message>
    <message>
        <source>停止频率1</source>
        <translation>Stop frequency 1</translation>
    </message>
    <message>
        <source>停止频率2</source>
        <translation>Stop frequency 2</translation>
    </message>
    <message>
        <source>停止频率3</source>
        <translation>Stop frequency 3</translation>
    </message>
    <message>
        <source>辅机起动延迟</source>
        <translation>Aux motor start delay</translation>
    </message>
    <message>
        <source>辅机停止延迟</source>
        <translation>Aux motor stop delay</translation>
    </message>
    <message>
        <source>辅机数量</source>
        <translation>Number of aux motors</translation>
    </message>
    <message>
        <source>自动切换间隔</source>
        <translation>Autochange interval</translation>
    </message>
    <message>
        <source>自动切换范围</source>
        <translation>Autochange level</translation>
    </message>
    <message>
        <source>内部锁定</source>
        <translation>Interlocks</translation>
    </message>
    <message>
        <source>调节器旁路</source>
        <translation>Regulator bypass</translation>
    </message>
    <message>
        <source>PFC起动延时</source>
        <translation>PFC start delay</translation>
    </message>
    <message>
        <source>PFC允许</source>
        <translation>PFC enable</translation>
    </message>
    <message>
        <source>辅机停止时加速</source>
        <translation>Acceleration at aux stop</translation>
    </message>
    <message>
        <source>辅机起动时减速</source>
        <translation>Deceleration at aux start</translation>
    </message>
    <message>
        <source>电机个数</source>
        <translation>Number of motors</translation>
    </message>
    <message>
        <source>辅助电机启动顺序</source>
        <translation>Aux motor start order</translation>
    </message>
    <message>
        <source>通讯选择</source>
        <translation>Comm protocol select</translation>
    </message>
    <message>
        <source>电机数据</source>
        <translation>Motor data</translation>
    </message>
    <message>
        <source>运行数据</source>
        <translation>Operating data</translation>
    </message>
    <message>
        <source>故障记录</source>
        <translation>Fault history</translation>
    </message>
    <message>
        <source>输入指令</source>
        <translation>Command inputs</translation>
    </message>
    <message>
        <source>给定选择</source>
        <translation>Reference select</translation>
    </message>
    <message>
        <source>恒速运行</source>
        <translation>Constant speeds</translation>
    </message>
    <message>
        <source>模拟输入</source>
        <translation>Analogue inputs</translation>
    </message>
    <message>
        <source>继电器输出</source>
        <translation>Relay outputs</translation>
    </message>
    <message>
        <source>模拟输出</source>
        <translation>Analogue outputs</translation>
    </message>
    <message>
        <source>系统控制</source>
        <translation>System controls</translation>
    </message>
    <message>
        <source>超越模式</source>
        <translation>Override</translation>
    </message>
    <message>
        <source>限幅</source>
        <translation>Limits</translation>
    </message>
    <message>
        <source>起动/停止</source>
        <translation>Start/stop</translation>
    </message>
    <message>
        <source>加速/减速</source>
        <translation>Accel/decel</translation>
    </message>
    <message>
        <source>危险频率</source>
        <translation>Critical frequencies</translation>
    </message>
    <message>
        <source>电机控制</source>
        <translation>Motor control</translation>
    </message>
    <message>
        <source>故障功能</source>
        <translation>Fault functions</translation>
    </message>
    <message>
        <source>自动复位</source>
        <translation>Automatic reset</translation>
    </message>
    <message>
        <source>监控器</source>
        <translation>Supervision</translation>
    </message>
    <message>
        <source>信息</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>控制盘显示</source>
        <translation>Panel display</translation>
    </message>
    <message>
        <source>电机温度测量</source>
        <translation>Motor temperature measurement</translation>
    </message>
    <message>
        <source>用户可调负载曲线</source>
        <translation>User load curve</translation>
    </message>
    <message>
        <source>PID设置1</source>
        <translation>PID set 1</translation>
    </message>
    <message>
        <source>PID设置2</source>
        <translation>PID set 2</translation>
    </message>
    <message>
        <source>外部/修正PID</source>
        <translation>External/trim PID</translation>
    </message>
    <message>
        <source>节能计算</source>
        <translation>Energy saving</translation>
    </message>
    <message>
        <source>外部通讯模块</source>
        <translation>External fieldbus module</translation>
    </message>
    <message>
        <source>内置通讯协议</source>
        <translation>Embedded fieldbus</translation>
    </message>
    <message>
        <source>PFC控制</source>
        <translation>PFC control</translation>
    </message>
    <message>
        <source>可选件</source>
        <translation>Options</translation>
    </message>
</context>
<context>
    <name>kv::ChartExport</name>
    <message>
        <source>保存曲线图片…</source>
        <translation>Save chart picture…</translation>
    </message>
    <message>
        <source>复制曲线图片</source>
        <translation>Copy chart picture</translation>
    </message>
    <message>
        <source>保存曲线图片</source>
        <translation>Save chart picture</translation>
    </message>
    <message>
        <source>PNG 图片 (*.png)</source>
        <translation>PNG pictures (*.png)</translation>
    </message>
    <message>
        <source>曲线.png</source>
        <translation>chart.png</translation>
    </message>
    <message>
        <source>曲线图片未能保存：%1</source>
        <translation>The chart picture could not be saved: %1</translation>
    </message>
    <message>
        <source>无法写入</source>
        <translation>cannot write</translation>
    </message>
</context>
<context>
    <name>kv::CommandLine</name>
    <message>
        <source>读取驱动器的全部参数，保存为参数集文件。</source>
        <translation>Reads every parameter of the drive and saves them as a parameter-set file.</translation>
    </message>
    <message>
        <source>比较驱动器与参数集文件，列出不同的参数；没有不同时退出码为 0，有不同时为 1。</source>
        <translation>Compares the drive with a parameter-set file and lists the parameters that differ; exit code 0 when none differ, 1 when some do.</translation>
    </message>
    <message>
        <source>读取参数，输出代码、名称和值。</source>
        <translation>Reads parameters and prints code, name and value.</translation>
    </message>
    <message>
        <source>写入参数（十进制 -32768..65535 或 0x 十六进制），每个写入后读回校验。</source>
        <translation>Writes parameters (decimal -32768..65535, or hexadecimal with 0x), each read back to verify.</translation>
    </message>
    <message>
        <source>显示帮助。</source>
        <translation>Displays this help.</translation>
    </message>
    <message>
        <source>显示版本。</source>
        <translation>Displays the version.</translation>
    </message>
    <message>
        <source>驱动器站号 1..247（默认 1）。</source>
        <translation>Station number of the drive, 1..247 (default 1).</translation>
    </message>
    <message>
        <source>波特率（默认 9600）。</source>
        <translation>Baud rate (default 9600).</translation>
    </message>
    <message>
        <source>校验位 N、E 或 O（默认 N）。</source>
        <translation>Parity N, E or O (default N).</translation>
    </message>
    <message>
        <source>只列出将写入的参数，不写入。</source>
        <translation>Only list the parameters that would be written; write nothing.</translation>
    </message>
    <message>
        <source>参数代码，如 9906。</source>
        <translation>Parameter code, e.g. 9906.</translation>
    </message>
    <message>
        <source>参数代码和新值，如 2202=100。</source>
        <translation>Parameter code and new value, e.g. 2202=100.</translation>
    </message>
    <message>
        <source>参数集文件。</source>
        <translation>Parameter-set file.</translation>
    </message>
    <message>
        <source>缺少 --port</source>
        <translation>--port is missing</translation>
    </message>
    <message>
        <source>站号应为 1..247：%1</source>
        <translation>The station must be 1..247: %1</translation>
    </message>
    <message>
        <source>波特率应为正整数：%1</source>
        <translation>The baud rate must be a positive whole number: %1</translation>
    </message>
    <message>
        <source>校验位应为 N、E 或 O：%1</source>
        <translation>The parity must be N, E or O: %1</translation>
    </message>
    <message>
        <source>缺少参数代码</source>
        <translation>No parameter code given</translation>
    </message>
    <message>
        <source>缺少 CODE=VALUE</source>
        <translation>No CODE=VALUE given</translation>
    </message>
    <message>
        <source>没有这个参数代码：%1</source>
        <translation>No such parameter code: %1</translation>
    </message>
    <message>
        <source>应为 CODE=VALUE：%1</source>
        <translation>Expected CODE=VALUE: %1</translation>
    </message>
    <message>
        <source>参数 %1 %2 只读：%3</source>
        <translation>Parameter %1 %2 is read-only: %3</translation>
    </message>
    <message>
        <source>参数 %1 的值应为 -32768..65535 的整数或 0x 十六进制数：%2</source>
        <translation>The value of parameter %1 must be a whole number -32768..65535 or hexadecimal with 0x: %2</translation>
    </message>
    <message>
        <source>参数 %1 写了两次</source>
        <translation>Parameter %1 is given twice</translation>
    </message>
    <message>
        <source>应给出一个参数集文件</source>
        <translation>Give one parameter-set file</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1（见 %2 %3 --help）</source>
        <translation>%1 (see %2 %3 --help)</translation>
    </message>
    <message>
        <source>没有这个串口</source>
        <translation>no such port</translation>
    </message>
    <message>
        <source>无法打开串口 %1：%2</source>
        <translation>Cannot open the serial port %1: %2</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>Reading</translation>
    </message>
    <message>
        <source>写入</source>
        <translation>Writing</translation>
    </message>
    <message>
        <source>约剩 %1 秒</source>
        <translation>about %1 s left</translation>
    </message>
    <message>
        <source>读取中断：%1（已读取 %2 / %3 个参数）%4</source>
        <translation>Reading stopped: %1 (%2 / %3 parameters read)%4</translation>
    </message>
    <message>
        <source>，未保存文件</source>
        <translation>, no file saved</translation>
    </message>
    <message>
        <source>%1 %2：未能读取（%3）</source>
        <translation>%1 %2: could not be read (%3)</translation>
    </message>
    <message>
        <source>无法保存 %1：%2</source>
        <translation>Cannot save %1: %2</translation>
    </message>
    <message>
        <source>已保存 %1 个参数到 %2</source>
        <translation>Saved %1 parameters to %2</translation>
    </message>
    <message>
        <source>驱动器 %1</source>
        <translation>drive %1</translation>
    </message>
    <message>
        <source>文件 %1</source>
        <translation>file %1</translation>
    </message>
    <message>
        <source>驱动器与文件相同（比较了 %1 个参数）</source>
        <translation>Drive and file are the same (%1 parameters compared)</translation>
    </message>
    <message>
        <source>%1 个参数不同</source>
        <translation>%1 parameters differ</translation>
    </message>
    <message>
        <source>驱动器与文件相同，无需写入</source>
        <translation>Drive and file are the same, nothing to write</translation>
    </message>
    <message>
        <source>将写入 %1 个参数（--dry-run：未写入）</source>
        <translation>%1 parameters would be written (--dry-run: nothing written)</translation>
    </message>
    <message>
        <source>写入中断：%1</source>
        <translation>Writing stopped: %1</translation>
    </message>
    <message>
        <source>%1 %2：%3</source>
        <translation>%1 %2: %3</translation>
    </message>
    <message>
        <source>把参数集文件中与驱动器不同的可写参数写入驱动器（先 9902，再 99 组，再其他各组），每个写入后读回校验；--dry-run 只列出。</source>
        <translation>Writes the writable parameters of a parameter-set file that differ from the drive (9902 first, then group 99, then the other groups), each read back to verify; --dry-run only lists them.</translation>
    </message>
    <message>
        <source>用 %1 --help 查看用法。</source>
        <translation>See %1 --help for the usage.</translation>
    </message>
    <message>
        <source>命令：</source>
        <translation>Commands:</translation>
    </message>
    <message>
        <source>KOLVEN调试助手：经串口（Modbus RTU）调试变频器。不带参数时打开主窗口。</source>
        <translation>KOLVEN Drive Assistant: commissions and debugs a variable-frequency drive over a serial line (Modbus RTU). Without arguments it opens the main window.</translation>
    </message>
    <message>
        <source>显示此帮助。</source>
        <translation>Shows this help.</translation>
    </message>
    <message>
        <source>下列命令之一。</source>
        <translation>One of the commands below.</translation>
    </message>
    <message>
        <source>没有命令“%1”。</source>
        <translation>There is no command &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>读取全部参数，保存为参数集文件</source>
        <translation>Reads every parameter into a parameter-set file</translation>
    </message>
    <message>
        <source>比较驱动器与参数集文件</source>
        <translation>Compares the drive with a parameter-set file</translation>
    </message>
    <message>
        <source>把参数集文件中不同的参数写入驱动器</source>
        <translation>Writes what differs in a parameter-set file to the drive</translation>
    </message>
    <message>
        <source>读取参数</source>
        <translation>Reads parameters</translation>
    </message>
    <message>
        <source>写入参数</source>
        <translation>Writes parameters</translation>
    </message>
    <message>
        <source>串口：COM n、设备路径（/dev/ttyUSB0）或系统端口名；或串口服务器的网络地址（192.168.1.20:4001）。</source>
        <translation>Serial port: COM n, a device path (/dev/ttyUSB0) or a system port name; or the network address of a serial-to-Ethernet converter (192.168.1.20:4001).</translation>
    </message>
    <message>
        <source>查找线路上的驱动器：按 --baud/--parity 的设置逐个站号查找，或用 --sweep 依次试所有波特率（1200..115200）和校验位（N、E、O）。每个应答的设备输出一行：站号、设置、应答时间和 33 组信息。有设备应答时退出码为 0，没有时为 1。</source>
        <translation>Finds the drives on the line: probes station after station at the settings of --baud/--parity, or with --sweep tries every baud rate (1200..115200) and parity (N, E, O). Each device that answers is one line: station, settings, reply time and group 33 information. Exit code 0 when a device answered, 1 when none did.</translation>
    </message>
    <message>
        <source>串口：COM n、设备路径（/dev/ttyUSB0）或系统端口名。</source>
        <translation>Serial port: COM n, a device path (/dev/ttyUSB0) or a system port name.</translation>
    </message>
    <message>
        <source>站号范围 A-B 或 N（默认 1-247，--sweep 时 1-4）。</source>
        <translation>Stations A-B or N (default 1-247, with --sweep 1-4).</translation>
    </message>
    <message>
        <source>依次试所有波特率和校验位。</source>
        <translation>Try every baud rate and parity.</translation>
    </message>
    <message>
        <source>站号范围应为 1..247 之间的 N 或 A-B：%1</source>
        <translation>Stations must be N or A-B within 1..247: %1</translation>
    </message>
    <message>
        <source>查找中止：%1</source>
        <translation>Search stopped: %1</translation>
    </message>
    <message>
        <source>没有设备应答（查找了 %1 次）</source>
        <translation>No device answered (%1 probes)</translation>
    </message>
    <message>
        <source>查找线路上的驱动器（站号、波特率、校验位）</source>
        <translation>Find the drives on the line (station, baud rate, parity)</translation>
    </message>
</context>
<context>
    <name>kv::Csv</name>
    <message>
        <source>字段中间有引号</source>
        <translation>a quote inside a field</translation>
    </message>
    <message>
        <source>引号后还有字符</source>
        <translation>characters after a closing quote</translation>
    </message>
    <message>
        <source>引号没有结束</source>
        <translation>a quote that is never closed</translation>
    </message>
</context>
<context>
    <name>kv::DriveIdentity</name>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>kv::DriveScanMenu</name>
    <message>
        <source>查找驱动器…</source>
        <translation>Find Drive…</translation>
    </message>
</context>
<context>
    <name>kv::DriveScanWindow</name>
    <message>
        <source>查找驱动器</source>
        <translation>Find Drive</translation>
    </message>
    <message>
        <source>按站号查找（当前串口设置）</source>
        <translation>Scan stations (current port settings)</translation>
    </message>
    <message>
        <source>按波特率和校验位查找</source>
        <translation>Sweep baud rates and parities</translation>
    </message>
    <message>
        <source>波特率 1200..115200，校验位 N、E、O，停止位按主窗口</source>
        <translation>Baud rates 1200..115200, parity N, E, O, stop bits as in the main window</translation>
    </message>
    <message>
        <source>站号范围</source>
        <translation>Stations</translation>
    </message>
    <message>
        <source>开始查找</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>使用</source>
        <translation>Use</translation>
    </message>
    <message>
        <source>站号</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud</translation>
    </message>
    <message>
        <source>校验位</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>停止位</source>
        <translation>Stop bits</translation>
    </message>
    <message>
        <source>应答时间</source>
        <translation>Reply time</translation>
    </message>
    <message>
        <source>驱动器信息</source>
        <translation>Drive information</translation>
    </message>
    <message>
        <source>站号范围应为 1..247 之间的 N 或 A-B，如 1-247：%1</source>
        <translation>Stations must be N or A-B within 1..247, such as 1-247: %1</translation>
    </message>
    <message>
        <source>已查找 %1 / %2，约剩 %3 秒</source>
        <translation>Probed %1 / %2, about %3 s left</translation>
    </message>
    <message>
        <source>未读到 33 组信息</source>
        <translation>Group 33 not read</translation>
    </message>
    <message>
        <source>%1 ms</source>
        <translation>%1 ms</translation>
    </message>
    <message>
        <source>查找结束：找到 %1 个设备</source>
        <translation>Search finished: %1 device(s) found</translation>
    </message>
    <message>
        <source>查找结束：没有设备应答</source>
        <translation>Search finished: no device answered</translation>
    </message>
    <message>
        <source>查找中止（%1）：找到 %2 个设备</source>
        <translation>Search stopped (%1): %2 device(s) found</translation>
    </message>
</context>
<context>
    <name>kv::DriveScanner</name>
    <message>
        <source>查找已在进行</source>
        <translation>A search is already running</translation>
    </message>
    <message>
        <source>串口未打开</source>
        <translation>The port is not open</translation>
    </message>
    <message>
        <source>线路正忙，请等其他读写结束后再查找</source>
        <translation>The line is busy; search once the other work on it has ended</translation>
    </message>
    <message>
        <source>已取消</source>
        <translation>cancelled</translation>
    </message>
    <message>
        <source>串口已断开</source>
        <translation>port lost</translation>
    </message>
    <message>
        <source>串口不接受设置 %1</source>
        <translation>the port does not take the settings %1</translation>
    </message>
    <message>
        <source>串口服务器的线路设置在其本身设定，无法在此扫描</source>
        <translation>A converter's line settings are set on the converter itself and cannot be swept from here</translation>
    </message>
</context>
<context>
    <name>kv::FastSamplingMenu</name>
    <message>
        <source>高速采样</source>
        <translation>Fast sampling</translation>
    </message>
    <message>
        <source>开启高速采样</source>
        <translation>Enable fast sampling</translation>
    </message>
    <message>
        <source>尽快</source>
        <translation>as fast as possible</translation>
    </message>
    <message>
        <source>周期 %1 ms</source>
        <translation>period %1 ms</translation>
    </message>
    <message>
        <source>采样 %1 次/秒（%2）</source>
        <translation>Sampling %1/s (%2)</translation>
    </message>
</context>
<context>
    <name>kv::LanguageMenu</name>
    <message>
        <source>语言 / Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>中文</source>
        <translation>Chinese</translation>
    </message>
    <message>
        <source>界面语言将在程序下次启动时切换。</source>
        <translation>The interface language changes the next time the program starts.</translation>
    </message>
</context>
<context>
    <name>kv::LineReady</name>
    <message>
        <source>请打开串口</source>
        <translation>Please open the serial port</translation>
    </message>
</context>
<context>
    <name>kv::LiveRecording</name>
    <message>
        <source>时间,频率 (Hz),电流 (A),直流电压 (V),AI1,AI2,状态字,CRC</source>
        <translation>Time,Frequency (Hz),Current (A),DC bus voltage (V),AI1,AI2,Status word,CRC</translation>
    </message>
    <message>
        <source>正确</source>
        <translation>good</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>bad</translation>
    </message>
    <message>
        <source>站号</source>
        <translation>Station</translation>
    </message>
</context>
<context>
    <name>kv::LiveRecordingUi</name>
    <message>
        <source>记录实时数据…</source>
        <translation>Record live values…</translation>
    </message>
    <message>
        <source>停止记录</source>
        <translation>Stop recording</translation>
    </message>
    <message>
        <source>实时数据记录已停止：%1</source>
        <translation>The recording of live values has stopped: %1</translation>
    </message>
    <message>
        <source>记录实时数据</source>
        <translation>Record live values</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv);;所有文件 (*)</source>
        <translation>CSV files (*.csv);;All files (*)</translation>
    </message>
    <message>
        <source>实时数据.csv</source>
        <translation>live-values.csv</translation>
    </message>
    <message>
        <source>无法创建实时数据记录：%1</source>
        <translation>Cannot create the recording of live values: %1</translation>
    </message>
    <message>
        <source>实时记录：%1（%2 行）</source>
        <translation>Recording: %1 (%2 rows)</translation>
    </message>
</context>
<context>
    <name>kv::LogSaver</name>
    <message>
        <source>保存日志…</source>
        <translation>Save log…</translation>
    </message>
    <message>
        <source>保存日志</source>
        <translation>Save log</translation>
    </message>
    <message>
        <source>文本文件 (*.txt);;所有文件 (*)</source>
        <translation>Text files (*.txt);;All files (*)</translation>
    </message>
    <message>
        <source>通讯日志.txt</source>
        <translation>log.txt</translation>
    </message>
    <message>
        <source>日志未能保存：%1</source>
        <translation>The log could not be saved: %1</translation>
    </message>
</context>
<context>
    <name>kv::MessageBoxes</name>
    <message>
        <source>KOLVEN调试助手</source>
        <translation>KOLVEN Debug Assistant</translation>
    </message>
</context>
<context>
    <name>kv::ParameterEditDialog</name>
    <message>
        <source>修改参数</source>
        <translation>Change parameter</translation>
    </message>
    <message>
        <source>-32768..65535 或 0x0000..0xFFFF</source>
        <translation>-32768..65535 or 0x0000..0xFFFF</translation>
    </message>
    <message>
        <source>写入</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>代码</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>寄存器</source>
        <translation>Register</translation>
    </message>
    <message>
        <source>当前值</source>
        <translation>Present value</translation>
    </message>
    <message>
        <source>新值</source>
        <translation>New value</translation>
    </message>
    <message>
        <source>只读：%1</source>
        <translation>Read-only: %1</translation>
    </message>
    <message>
        <source>正在读取…</source>
        <translation>Reading…</translation>
    </message>
    <message>
        <source>请输入 -32768..65535 的整数，或以 0x 开头的十六进制数（0x0000..0xFFFF）</source>
        <translation>Enter a whole number -32768..65535, or a hexadecimal number starting with 0x (0x0000..0xFFFF)</translation>
    </message>
    <message>
        <source>正在写入…</source>
        <translation>Writing…</translation>
    </message>
    <message>
        <source>读取失败：%1</source>
        <translation>Read failed: %1</translation>
    </message>
</context>
<context>
    <name>kv::ParameterMenu</name>
    <message>
        <source>参数备份与恢复…</source>
        <translation>Parameter backup and restore…</translation>
    </message>
</context>
<context>
    <name>kv::ParameterSet</name>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>运行数据是实际值，只能读取</source>
        <translation>operating data are actual values and can only be read</translation>
    </message>
    <message>
        <source>故障记录只能读取</source>
        <translation>the fault log can only be read</translation>
    </message>
    <message>
        <source>驱动器信息只能读取</source>
        <translation>the drive information can only be read</translation>
    </message>
    <message>
        <source>通讯计数与状态只能读取</source>
        <translation>the communication counters and status can only be read</translation>
    </message>
    <message>
        <source>%1（有符号 %2，0x%3）</source>
        <translation>%1 (signed %2, 0x%3)</translation>
    </message>
    <message>
        <source>未读</source>
        <translation>not read</translation>
    </message>
    <message>
        <source>只读</source>
        <translation>read-only</translation>
    </message>
    <message>
        <source>相同</source>
        <translation>same</translation>
    </message>
    <message>
        <source>已写入，已校验</source>
        <translation>written and verified</translation>
    </message>
    <message>
        <source>读回值为 %1，与写入值 %2 不符</source>
        <translation>read back as %1, not the %2 written</translation>
    </message>
    <message>
        <source>无应答</source>
        <translation>no reply</translation>
    </message>
    <message>
        <source>串口已断开</source>
        <translation>port lost</translation>
    </message>
    <message>
        <source>已取消</source>
        <translation>cancelled</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>已写入并校验 0 个参数</source>
        <translation>Written and verified: 0 parameters</translation>
    </message>
    <message>
        <source>已写入并校验 %1 个参数：%2</source>
        <translation>Written and verified: %1 parameters: %2</translation>
    </message>
    <message>
        <source>被拒绝 %1 个：%2</source>
        <translation>Refused: %1: %2</translation>
    </message>
    <message>
        <source>读回不符 %1 个：%2</source>
        <translation>Read back different: %1: %2</translation>
    </message>
    <message>
        <source>写入失败 %1 个：%2</source>
        <translation>Write failed: %1: %2</translation>
    </message>
    <message>
        <source>写入未确认 %1 个：%2</source>
        <translation>Write not confirmed: %1: %2</translation>
    </message>
    <message>
        <source>未改变 %1 个（与文件相同）</source>
        <translation>Unchanged: %1 (same as the file)</translation>
    </message>
    <message>
        <source>只读参数 %1 个，未写入</source>
        <translation>Read-only parameters: %1, not written</translation>
    </message>
    <message>
        <source>未能读取 %1 个，未写入</source>
        <translation>Could not be read: %1, not written</translation>
    </message>
    <message>
        <source>已停止：%1</source>
        <translation>Stopped: %1</translation>
    </message>
    <message>
        <source>已停止：%1；未写入 %2 个：%3</source>
        <translation>Stopped: %1; not written: %2: %3</translation>
    </message>
    <message>
        <source>不同</source>
        <translation>different</translation>
    </message>
</context>
<context>
    <name>kv::ParameterSetFile</name>
    <message>
        <source>第 %1 行：%2</source>
        <translation>Line %1: %2</translation>
    </message>
    <message>
        <source>文件过大（超过 1 MB），不是参数集文件</source>
        <translation>the file is too large (over 1 MB) for a parameter-set file</translation>
    </message>
    <message>
        <source>含有二进制数据，不是文本的参数集文件</source>
        <translation>binary data: not a parameter-set text file</translation>
    </message>
    <message>
        <source>文件是空的</source>
        <translation>the file is empty</translation>
    </message>
    <message>
        <source>表头应为“代码,名称,寄存器,值”</source>
        <translation>the header row must be “代码,名称,寄存器,值” (code, name, register, value; the same in every language)</translation>
    </message>
    <message>
        <source>应有 4 列，实有 %1 列</source>
        <translation>4 columns expected, %1 found</translation>
    </message>
    <message>
        <source>代码%1不是参数代码</source>
        <translation>the code %1 is not a parameter code</translation>
    </message>
    <message>
        <source>参数目录中没有代码%1</source>
        <translation>the catalogue has no code %1</translation>
    </message>
    <message>
        <source>参数 %1 重复（第 %2 行已有）</source>
        <translation>parameter %1 repeated (already on line %2)</translation>
    </message>
    <message>
        <source>寄存器%1与参数 %2 的寄存器 %3 不符</source>
        <translation>the register %1 does not match register %3 of parameter %2</translation>
    </message>
    <message>
        <source>值%1不是 -32768..65535 的整数</source>
        <translation>the value %1 is not a whole number -32768..65535</translation>
    </message>
    <message>
        <source>文件中没有参数</source>
        <translation>the file holds no parameters</translation>
    </message>
    <message>
        <source>无法打开文件：%1</source>
        <translation>cannot open the file: %1</translation>
    </message>
</context>
<context>
    <name>kv::ParameterSetRunner</name>
    <message>
        <source>已取消</source>
        <translation>cancelled</translation>
    </message>
    <message>
        <source>串口已断开</source>
        <translation>port lost</translation>
    </message>
    <message>
        <source>驱动器无应答</source>
        <translation>the drive does not answer</translation>
    </message>
    <message>
        <source>写入后读回失败：%1</source>
        <translation>read-back after the write failed: %1</translation>
    </message>
</context>
<context>
    <name>kv::ParameterSetWindow</name>
    <message>
        <source>参数备份与恢复</source>
        <translation>Parameter backup and restore</translation>
    </message>
    <message>
        <source>读取全部</source>
        <translation>Read all</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>保存…</source>
        <translation>Save…</translation>
    </message>
    <message>
        <source>打开…</source>
        <translation>Open…</translation>
    </message>
    <message>
        <source>写入驱动器</source>
        <translation>Write to drive</translation>
    </message>
    <message>
        <source>只显示不同</source>
        <translation>Only differences</translation>
    </message>
    <message>
        <source>未打开参数集文件</source>
        <translation>No parameter-set file open</translation>
    </message>
    <message>
        <source>代码</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>寄存器</source>
        <translation>Register</translation>
    </message>
    <message>
        <source>驱动器值</source>
        <translation>Drive value</translation>
    </message>
    <message>
        <source>文件值</source>
        <translation>File value</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>（正在取消…）</source>
        <translation> (cancelling…)</translation>
    </message>
    <message>
        <source>还没有从驱动器读取到参数，请先“读取全部”</source>
        <translation>No parameters have been read from the drive yet: press “Read all” first</translation>
    </message>
    <message>
        <source>保存参数集</source>
        <translation>Save parameter set</translation>
    </message>
    <message>
        <source>参数集文件 (*.csv);;所有文件 (*)</source>
        <translation>Parameter-set files (*.csv);;All files (*)</translation>
    </message>
    <message>
        <source>参数集.csv</source>
        <translation>parameter-set.csv</translation>
    </message>
    <message>
        <source>参数集未能保存：%1</source>
        <translation>The parameter set could not be saved: %1</translation>
    </message>
    <message>
        <source>已保存 %1 个参数：%2</source>
        <translation>Saved %1 parameters: %2</translation>
    </message>
    <message>
        <source>打开参数集</source>
        <translation>Open parameter set</translation>
    </message>
    <message>
        <source>参数集文件未能打开：%1
%2</source>
        <translation>The parameter-set file could not be opened: %1
%2</translation>
    </message>
    <message>
        <source>文件：%1（%2 个参数）</source>
        <translation>File: %1 (%2 parameters)</translation>
    </message>
    <message>
        <source>请先打开参数集文件</source>
        <translation>Open a parameter-set file first</translation>
    </message>
    <message>
        <source>已读取 %1 / %2 个参数</source>
        <translation>Read %1 / %2 parameters</translation>
    </message>
    <message>
        <source>已写入 %1 / %2 个参数</source>
        <translation>Written %1 / %2 parameters</translation>
    </message>
    <message>
        <source>，约剩 %1 秒</source>
        <translation>, about %1 s left</translation>
    </message>
    <message>
        <source>已读取 %1 / %2 个参数，用时 %3 秒</source>
        <translation>Read %1 / %2 parameters in %3 s</translation>
    </message>
    <message>
        <source>，%1 个未能读取</source>
        <translation>, %1 could not be read</translation>
    </message>
    <message>
        <source>（%1）</source>
        <translation> (%1)</translation>
    </message>
    <message>
        <source>读取已停止：%1。已读取 %2 / %3 个参数。</source>
        <translation>Reading stopped: %1. %2 / %3 parameters read.</translation>
    </message>
    <message>
        <source>读取驱动器已停止（%1），未写入任何参数</source>
        <translation>Reading the drive stopped (%1), no parameter written</translation>
    </message>
    <message>
        <source>读取驱动器已停止：%1。未写入任何参数。</source>
        <translation>Reading the drive stopped: %1. No parameter was written.</translation>
    </message>
    <message>
        <source>写入完成</source>
        <translation>Writing done</translation>
    </message>
    <message>
        <source>写入已停止（%1）</source>
        <translation>Writing stopped (%1)</translation>
    </message>
    <message>
        <source>驱动器与文件相同，无需写入</source>
        <translation>Drive and file are the same, nothing to write</translation>
    </message>
    <message>
        <source>可写参数中，驱动器的值与文件相同，无需写入。</source>
        <translation>The writable parameters of the drive hold the values of the file: nothing to write.</translation>
    </message>
    <message>
        <source>将修改 %1 个参数（可写参数中与文件不同的），每个写入后读回校验。</source>
        <translation>%1 parameters will be changed (the writable ones that differ from the file), each read back after writing to verify.</translation>
    </message>
    <message>
        <source>先写入 9902 应用宏，然后重新读取并比较其余参数。</source>
        <translation>9902 Application macro is written first, then the other parameters are read and compared again.</translation>
    </message>
    <message>
        <source>确定写入驱动器？</source>
        <translation>Write to the drive?</translation>
    </message>
    <message>
        <source>未写入</source>
        <translation>Nothing written</translation>
    </message>
</context>
<context>
    <name>kv::Reconnect</name>
    <message>
        <source>断线自动重连</source>
        <translation>Reconnect automatically</translation>
    </message>
    <message>
        <source>重新连接中…</source>
        <translation>Reconnecting…</translation>
    </message>
    <message>
        <source>重新连接中…（已试 %1 次）</source>
        <translation>Reconnecting… (%1 tries)</translation>
    </message>
</context>
<context>
    <name>kv::ResponseTimeoutItem</name>
    <message>
        <source>响应超时…</source>
        <translation>Response timeout…</translation>
    </message>
    <message>
        <source>响应超时</source>
        <translation>Response timeout</translation>
    </message>
    <message>
        <source>等待应答的时间（100～5000 毫秒）：</source>
        <translation>Time to wait for a reply (100 to 5000 ms):</translation>
    </message>
</context>
<context>
    <name>kv::StatusLine</name>
    <message>
        <source>  站号 </source>
        <translation>  station </translation>
    </message>
    <message>
        <source>未打开</source>
        <translation>Closed</translation>
    </message>
    <message>
        <source>  连接中…</source>
        <translation>  connecting…</translation>
    </message>
    <message>
        <source>  帧计时 </source>
        <translation>  frame timing </translation>
    </message>
    <message>
        <source>未打开 — %1：%2</source>
        <translation>Not open — %1: %2</translation>
    </message>
</context>
<context>
    <name>kv::TcpTransport</name>
    <message>
        <source>连接被拒绝</source>
        <translation>connection refused</translation>
    </message>
    <message>
        <source>连接超时</source>
        <translation>connection timed out</translation>
    </message>
    <message>
        <source>主机未找到</source>
        <translation>host not found</translation>
    </message>
    <message>
        <source>网络不可达</source>
        <translation>network unreachable</translation>
    </message>
    <message>
        <source>连接已被对方关闭</source>
        <translation>connection closed by the peer</translation>
    </message>
    <message>
        <source>网络错误</source>
        <translation>network error</translation>
    </message>
</context>
<context>
    <name>kv::Terminal</name>
    <message>
        <source>接收: </source>
        <translation>Received: </translation>
    </message>
    <message>
        <source>发送: </source>
        <translation>Sent: </translation>
    </message>
</context>
<context>
    <name>kv::TraceMenu</name>
    <message>
        <source>趋势分析…</source>
        <translation>Trace…</translation>
    </message>
</context>
<context>
    <name>kv::TraceRenderer</name>
    <message>
        <source>暂无数据</source>
        <translation>No data yet</translation>
    </message>
</context>
<context>
    <name>kv::TraceWindow</name>
    <message>
        <source>捕获 #%1  %2  %3</source>
        <translation>Capture #%1  %2  %3</translation>
    </message>
    <message>
        <source>趋势分析</source>
        <translation>Trace</translation>
    </message>
    <message>
        <source>滚轮：缩放时间&#x3000;拖动：平移
右键拖出方框：放大该区域
单击：放置光标 A、B，拖动光标可移动</source>
        <translation>Wheel: zoom the time   Drag: pan
Right-drag a box: zoom into it
Click: place cursors A and B; drag a cursor to move it</translation>
    </message>
    <message>
        <source>全部</source>
        <translation>All</translation>
    </message>
    <message>
        <source>显示全部数据</source>
        <translation>Show all the data</translation>
    </message>
    <message>
        <source>10秒</source>
        <translation>10 s</translation>
    </message>
    <message>
        <source>1分钟</source>
        <translation>1 min</translation>
    </message>
    <message>
        <source>10分钟</source>
        <translation>10 min</translation>
    </message>
    <message>
        <source>显示最近 %1</source>
        <translation>Show the last %1</translation>
    </message>
    <message>
        <source>跟随</source>
        <translation>Follow</translation>
    </message>
    <message>
        <source>最新的数据保持在右边缘</source>
        <translation>Keep the newest sample at the right edge</translation>
    </message>
    <message>
        <source>自动缩放</source>
        <translation>Autoscale</translation>
    </message>
    <message>
        <source>每条曲线按所显示的数据缩放</source>
        <translation>Scale each curve to what is shown of it</translation>
    </message>
    <message>
        <source>清除光标</source>
        <translation>Clear cursors</translation>
    </message>
    <message>
        <source>导出…</source>
        <translation>Export…</translation>
    </message>
    <message>
        <source>数据（CSV）…</source>
        <translation>Data (CSV)…</translation>
    </message>
    <message>
        <source>光标 A、B 之间的数据；没有光标时为所显示的范围</source>
        <translation>The samples between cursors A and B; without cursors, the span shown</translation>
    </message>
    <message>
        <source>图片（PNG）…</source>
        <translation>Picture (PNG)…</translation>
    </message>
    <message>
        <source>复制图片</source>
        <translation>Copy picture</translation>
    </message>
    <message>
        <source>返回实时</source>
        <translation>Back to live</translation>
    </message>
    <message>
        <source>曲线</source>
        <translation>Curve</translation>
    </message>
    <message>
        <source>自动</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>B−A</source>
        <translation>B−A</translation>
    </message>
    <message>
        <source>最小</source>
        <translation>Min</translation>
    </message>
    <message>
        <source>最大</source>
        <translation>Max</translation>
    </message>
    <message>
        <source>平均</source>
        <translation>Mean</translation>
    </message>
    <message>
        <source>勾选则显示该曲线</source>
        <translation>Ticked: the curve is shown</translation>
    </message>
    <message>
        <source>勾选则按所显示的数据缩放</source>
        <translation>Ticked: scaled to what is shown of it</translation>
    </message>
    <message>
        <source>捕获</source>
        <translation>Captures</translation>
    </message>
    <message>
        <source>代码</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>值</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>（另 %1 次）</source>
        <translation>(%1 more)</translation>
    </message>
    <message>
        <source>无变化</source>
        <translation>no change</translation>
    </message>
    <message>
        <source>单击曲线放置光标 A、B</source>
        <translation>Click the plot to place cursors A and B</translation>
    </message>
    <message>
        <source>数据自 %1 起，更早的已丢弃</source>
        <translation>Data from %1 on; older samples were dropped</translation>
    </message>
    <message>
        <source>选择一次捕获可查看它的数据和故障记录</source>
        <translation>Choose a capture to see its samples and fault record</translation>
    </message>
    <message>
        <source>故障记录（04 组）</source>
        <translation>Fault record (group 04)</translation>
    </message>
    <message>
        <source>故障记录未能读取：%1</source>
        <translation>Fault record not read: %1</translation>
    </message>
    <message>
        <source>无故障记录</source>
        <translation>No fault record</translation>
    </message>
    <message>
        <source>导出数据</source>
        <translation>Export data</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>趋势.csv</source>
        <translation>trace.csv</translation>
    </message>
    <message>
        <source>数据未能导出：%1</source>
        <translation>The data could not be exported: %1</translation>
    </message>
    <message>
        <source>无法写入</source>
        <translation>cannot write</translation>
    </message>
    <message>
        <source>导出图片</source>
        <translation>Export picture</translation>
    </message>
    <message>
        <source>PNG 图片 (*.png)</source>
        <translation>PNG pictures (*.png)</translation>
    </message>
    <message>
        <source>趋势.png</source>
        <translation>trace.png</translation>
    </message>
    <message>
        <source>图片未能保存：%1</source>
        <translation>The picture could not be saved: %1</translation>
    </message>
</context>
<context>
    <name>kv::TriggerCondition</name>
    <message>
        <source>准合闸</source>
        <translation>RdyOn</translation>
    </message>
    <message>
        <source>准运行</source>
        <translation>RdyRun</translation>
    </message>
    <message>
        <source>准给定</source>
        <translation>RdyRef</translation>
    </message>
    <message>
        <source>故障</source>
        <translation>Fault</translation>
    </message>
    <message>
        <source>禁合闸</source>
        <translation>Inhib</translation>
    </message>
    <message>
        <source>报警</source>
        <translation>Alarm</translation>
    </message>
    <message>
        <source>到达</source>
        <translation>AtSetp</translation>
    </message>
    <message>
        <source>远程</source>
        <translation>Remote</translation>
    </message>
    <message>
        <source>超极限</source>
        <translation>AbvLim</translation>
    </message>
    <message>
        <source>外1/2</source>
        <translation>Ext1/2</translation>
    </message>
    <message>
        <source>外信号</source>
        <translation>ExtRun</translation>
    </message>
    <message>
        <source>频率</source>
        <translation>Frequency</translation>
    </message>
    <message>
        <source>电流</source>
        <translation>Current</translation>
    </message>
    <message>
        <source>直流电压</source>
        <translation>DC bus</translation>
    </message>
    <message>
        <source>%1消失</source>
        <translation>%1 off</translation>
    </message>
    <message>
        <source>%1变化</source>
        <translation>%1 change</translation>
    </message>
    <message>
        <source>%1高于%2%3</source>
        <translation>%1 above %2 %3</translation>
    </message>
    <message>
        <source>%1低于%2%3</source>
        <translation>%1 below %2 %3</translation>
    </message>
    <message>
        <source>%1越过%2%3</source>
        <translation>%1 crossing %2 %3</translation>
    </message>
</context>
<context>
    <name>kv::TriggerDialog</name>
    <message>
        <source>触发设置</source>
        <translation>Trigger settings</translation>
    </message>
    <message>
        <source>状态位变化</source>
        <translation>Status bit changes</translation>
    </message>
    <message>
        <source>数值越过门限</source>
        <translation>Value crosses a level</translation>
    </message>
    <message>
        <source>上升</source>
        <translation>Rising</translation>
    </message>
    <message>
        <source>下降</source>
        <translation>Falling</translation>
    </message>
    <message>
        <source>双向</source>
        <translation>Either way</translation>
    </message>
    <message>
        <source>单次</source>
        <translation>Once</translation>
    </message>
    <message>
        <source>连续</source>
        <translation>Continuous</translation>
    </message>
    <message>
        <source>浏览…</source>
        <translation>Browse…</translation>
    </message>
    <message>
        <source>条件：</source>
        <translation>Condition:</translation>
    </message>
    <message>
        <source>状态位：</source>
        <translation>Status bit:</translation>
    </message>
    <message>
        <source>数值：</source>
        <translation>Value:</translation>
    </message>
    <message>
        <source>门限：</source>
        <translation>Level:</translation>
    </message>
    <message>
        <source>边沿：</source>
        <translation>Edge:</translation>
    </message>
    <message>
        <source>触发前：</source>
        <translation>Before:</translation>
    </message>
    <message>
        <source>触发后：</source>
        <translation>After:</translation>
    </message>
    <message>
        <source>方式：</source>
        <translation>Mode:</translation>
    </message>
    <message>
        <source>文件夹：</source>
        <translation>Folder:</translation>
    </message>
    <message>
        <source>触发于：</source>
        <translation>Triggers on:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>捕获文件夹</source>
        <translation>Folder for captures</translation>
    </message>
</context>
<context>
    <name>kv::TriggerUi</name>
    <message>
        <source>触发设置…</source>
        <translation>Trigger settings…</translation>
    </message>
    <message>
        <source>触发准备</source>
        <translation>Trigger armed</translation>
    </message>
    <message>
        <source>触发：已触发 %1</source>
        <translation>Trigger: triggered %1</translation>
    </message>
    <message>
        <source>触发：等待</source>
        <translation>Trigger: waiting</translation>
    </message>
    <message>
        <source>（已捕获 %1 次）</source>
        <translation> (%1 captured)</translation>
    </message>
    <message>
        <source>文件未写入：%1</source>
        <translation>files not written: %1</translation>
    </message>
</context>
<context>
    <name>kv::mb</name>
    <message>
        <source>写 %1 = %2</source>
        <translation>Write %1 = %2</translation>
    </message>
    <message>
        <source>读 %1 起 %2 个寄存器</source>
        <translation>Read %2 registers from %1</translation>
    </message>
    <message>
        <source>非法功能</source>
        <translation>Illegal function</translation>
    </message>
    <message>
        <source>非法数据地址</source>
        <translation>Illegal data address</translation>
    </message>
    <message>
        <source>非法数据值</source>
        <translation>Illegal data value</translation>
    </message>
    <message>
        <source>从站设备故障</source>
        <translation>Slave device failure</translation>
    </message>
    <message>
        <source>确认</source>
        <translation>Acknowledge</translation>
    </message>
    <message>
        <source>从站设备忙</source>
        <translation>Slave device busy</translation>
    </message>
    <message>
        <source>存储奇偶性差错</source>
        <translation>Memory parity error</translation>
    </message>
    <message>
        <source>网关路径不可用</source>
        <translation>Gateway path unavailable</translation>
    </message>
    <message>
        <source>网关目标设备无响应</source>
        <translation>Gateway target device failed to respond</translation>
    </message>
    <message>
        <source>异常 %1</source>
        <translation>Exception %1</translation>
    </message>
    <message>
        <source>异常 %1：%2</source>
        <translation>Exception %1: %2</translation>
    </message>
    <message>
        <source>CRC错误</source>
        <translation>CRC error</translation>
    </message>
    <message>
        <source>功能码 %1</source>
        <translation>Function %1</translation>
    </message>
    <message>
        <source>读回 %1 个寄存器</source>
        <translation>%1 registers read back</translation>
    </message>
    <message>
        <source>正确</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>已写入</source>
        <translation>Written</translation>
    </message>
    <message>
        <source>异常</source>
        <translation>Exception</translation>
    </message>
    <message>
        <source>站号不符</source>
        <translation>Wrong station</translation>
    </message>
    <message>
        <source>功能码不符</source>
        <translation>Wrong function</translation>
    </message>
    <message>
        <source>回复与请求不符</source>
        <translation>Reply does not match the request</translation>
    </message>
    <message>
        <source>回复不完整</source>
        <translation>Incomplete reply</translation>
    </message>
    <message>
        <source>无应答</source>
        <translation>No reply</translation>
    </message>
    <message>
        <source>串口已断开</source>
        <translation>Port lost</translation>
    </message>
    <message>
        <source>已取消</source>
        <translation>Cancelled</translation>
    </message>
    <message>
        <source>已广播</source>
        <translation>Broadcast</translation>
    </message>
    <message>
        <source>请求无效</source>
        <translation>Invalid request</translation>
    </message>
</context>
<context>
    <name>kv::mb::LineStatistics</name>
    <message>
        <source>请求 %1  正确 %2  CRC错误 %3  异常 %4  超时 %5  未解码 %6</source>
        <translation>Requests %1  OK %2  CRC errors %3  Exceptions %4  Timeouts %5  Undecoded %6</translation>
    </message>
    <message>
        <source>  丢弃 %1 字节</source>
        <translation>  dropped %1 bytes</translation>
    </message>
    <message>
        <source>  最近：%1</source>
        <translation>  last: %1</translation>
    </message>
</context>
</TS>
